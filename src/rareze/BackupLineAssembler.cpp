#include "rareze/BackupLineAssembler.h"

#include <algorithm>

#include "rareze/TimeRule.h"

namespace harvel {

Impulse BackupLineAssembler::ParseLine(const unsigned char* line, int length) {
    Impulse impulse;
    impulse.Info = static_cast<char>(line[0]);
    // Whatever the number columns hold: a blank counts -16.
    impulse.StartNumber =
        1000 * (line[1] - 48) + 100 * (line[2] - 48) + 10 * (line[3] - 48) + (line[4] - 48);
    impulse.Channel = line[7] - 48;
    impulse.Mode = static_cast<char>(line[8]);
    impulse.Time = BackupLineTime(line);
    impulse.VoraString.assign(reinterpret_cast<const char*>(line),
                              static_cast<std::size_t>(length));
    return impulse;
}

void BackupLineAssembler::Reset() {
    m_buffer.fill(0);
    m_count = 0;
}

void BackupLineAssembler::Feed(std::string_view chunk) {
    if (!m_handler) {
        return;
    }
    for (const char ch : chunk) {
        const auto byte = static_cast<unsigned char>(ch);
        m_buffer[static_cast<std::size_t>(m_count)] = byte;
        ++m_count;
        if (byte == '\r' && m_count >= 27 && m_count <= 30) {
            const int length = m_count;
            const bool channelIsDigit = m_buffer[7] >= '0' && m_buffer[7] <= '9';
            // Taken out before the event fires: a handler that raises, or a nested receive
            // inside it, finds the assembler empty.
            const Impulse impulse = ParseLine(m_buffer.data(), length);
            Reset();
            if (channelIsDigit) {
                m_handler(impulse);
            }
        } else if (m_count >= kBufferSize || byte > 'z' || byte < ' ') {
            Reset();
        }
    }
}

}  // namespace harvel
