#pragma once

#include <string>

namespace harvel::test {

// A backup line in the device's layout: info, 4-character number, two blanks, channel,
// mode, a blank, 13-character time text "HH:MM:SS.dddd", then `tail` (CR not included).
inline std::string BackupLine(char info, const std::string& number4, char channel, char mode,
                              const std::string& time13, const std::string& tail = "   ") {
    return std::string(1, info) + number4 + "  " + std::string(1, channel) + std::string(1, mode) +
           " " + time13 + tail;
}

constexpr int TimeOf(int h, int m, int s, int tenThousandths) {
    return ((h * 60 + m) * 60 + s) * 10000 + tenThousandths;
}

}  // namespace harvel::test
