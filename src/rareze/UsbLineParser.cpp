#include "rareze/UsbLineParser.h"

#include <array>
#include <string>

#include "rareze/TimeRule.h"

namespace harvel {

int DecimalOrDefault(std::string_view text, int fallback) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos == text.size()) {
        return fallback;
    }
    long long value = 0;
    for (; pos < text.size(); ++pos) {
        const char ch = text[pos];
        if (ch < '0' || ch > '9') {
            return fallback;
        }
        value = value * 10 + (ch - '0');
        if (value > 2147483648LL) {
            return fallback;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > 2147483647LL) {
        return fallback;
    }
    return static_cast<int>(value);
}

std::optional<Impulse> ParseUsbText(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (const char ch : text) {
        if (ch != '\r' && ch != '\n') {
            line += ch;
        }
    }
    if (line.find("VORA:") != std::string::npos) {
        return std::nullopt;
    }
    if (line.size() > kUsbLineMax) {
        line.resize(kUsbLineMax);
    }

    // Columns past the copied characters read as zero bytes.
    std::array<unsigned char, kUsbLineMax + 1> buffer{};
    for (std::size_t i = 0; i < line.size(); ++i) {
        buffer[i] = static_cast<unsigned char>(line[i]);
    }

    Impulse impulse;
    impulse.Info = static_cast<char>(buffer[0]);
    const std::size_t numberLength =
        line.size() > 1 ? std::min<std::size_t>(4, line.size() - 1) : 0;
    impulse.StartNumber = numberLength > 0
                              ? DecimalOrDefault(std::string_view(line).substr(1, numberLength), -1)
                              : -1;
    const unsigned char channel = buffer[7];
    impulse.Channel = static_cast<int>(channel) - '0';
    impulse.Mode = static_cast<char>(buffer[8]);
    impulse.Time = BackupLineTime(buffer.data());

    const bool accepted = impulse.StartNumber >= 0 && impulse.StartNumber <= 9999 &&
                          channel >= '0' && channel <= '9' && impulse.Time > 0 &&
                          impulse.Time < kTicksPerDay;
    if (!accepted) {
        return std::nullopt;
    }
    impulse.VoraString = std::move(line);
    return impulse;
}

}  // namespace harvel
