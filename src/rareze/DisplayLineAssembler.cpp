#include "rareze/DisplayLineAssembler.h"

namespace harvel {
namespace {

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// Digit value when the character lies in [low, high], else 0.
int DigitIn(unsigned char c, char low, char high) {
    return (c >= static_cast<unsigned char>(low) && c <= static_cast<unsigned char>(high)) ? c - '0'
                                                                                           : 0;
}

}  // namespace

DisplayLine DisplayLineAssembler::ParseLine(const unsigned char* line, int length) {
    const int characters = length - 1;  // before the CR
    const bool addressed = line[0] >= 'A' && line[0] <= 'L' && (line[17] == '.' || line[17] == ' ');
    // Column of a field given by its addressed-layout position.
    const int shift = addressed ? 0 : 1;
    auto at = [&](int addressedColumn) { return line[addressedColumn - shift]; };

    DisplayLine result;
    result.Address = addressed ? static_cast<char>(line[0]) : ' ';
    result.StartNumber =
        100 * DigitIn(at(1), '0', '9') + 10 * DigitIn(at(2), '0', '9') + DigitIn(at(3), '0', '9');
    result.Mode = static_cast<char>(at(4));
    result.Time = 360000000 * DigitIn(at(9), '0', '2') + 36000000 * DigitIn(at(10), '0', '9') +
                  6000000 * DigitIn(at(12), '0', '5') + 600000 * DigitIn(at(13), '0', '9') +
                  100000 * DigitIn(at(15), '0', '5') + 10000 * DigitIn(at(16), '0', '9') +
                  1000 * DigitIn(at(18), '0', '9') + 100 * DigitIn(at(19), '0', '9') +
                  10 * DigitIn(at(20), '0', '9');

    if (addressed) {
        result.Place =
            characters == 23 ? 10 * DigitIn(line[21], '0', '9') + DigitIn(line[22], '0', '9') : -1;
    } else if (characters >= 22) {
        result.Place = IsDigit(line[21]) ? 10 * DigitIn(line[20], '0', '9') + (line[21] - '0') : -1;
    } else if (characters == 21) {
        result.Place = IsDigit(line[20]) ? line[20] - '0' : -1;
    } else {
        result.Place = -1;
    }
    result.ZunString.assign(reinterpret_cast<const char*>(line), static_cast<std::size_t>(length));
    return result;
}

void DisplayLineAssembler::Reset() {
    m_buffer.fill(0);
    m_count = 0;
}

void DisplayLineAssembler::Feed(std::string_view chunk) {
    if (!m_handler) {
        return;
    }
    for (const char ch : chunk) {
        const auto byte = static_cast<unsigned char>(ch);
        m_buffer[static_cast<std::size_t>(m_count)] = byte;
        ++m_count;
        if (byte == '\r' && m_count >= 21 && m_count <= 24) {
            const DisplayLine line = ParseLine(m_buffer.data(), m_count);
            Reset();
            m_handler(line);
        } else if (m_count >= kBufferSize || byte > 'z' || byte < ' ') {
            Reset();
        }
    }
}

}  // namespace harvel
