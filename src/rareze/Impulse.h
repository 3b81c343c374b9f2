#pragma once

#include <iosfwd>
#include <string>

namespace harvel {

// Time values count ten-thousandths of a second since midnight.
constexpr int kTicksPerSecond = 10000;
constexpr int kTicksPerDay = 864000000;

// The fields of one accepted backup line.
struct Impulse {
    char Info = ' ';
    int StartNumber = -1;
    int Channel = 0;
    char Mode = ' ';
    int Time = 0;
    // The line as received (USB: without CR/LF; serial: ending in its CR).
    std::string VoraString;

    friend bool operator==(const Impulse&, const Impulse&) = default;
};

// One line for logs and test failures, control bytes escaped.
[[nodiscard]] std::string ToDebugText(const Impulse& impulse);
std::ostream& operator<<(std::ostream& out, const Impulse& impulse);

// Bytes below 32 or above 126 as \xNN so a line stays one readable line.
[[nodiscard]] std::string EscapeBytes(const std::string& bytes);

}  // namespace harvel
