#pragma once

#include <cstdio>
#include <string>

namespace harvel::bench {

// The time of the n-th line of a stream whose times advance by `step` ticks.
constexpr int StreamTime(int n, int step) {
    return 360000000 + n * step;
}

// `lines` backup lines as the device sends them (CR LF), start numbers and channels
// counting up, times advancing by `step` ten-thousandths of a second.
inline std::string BackupStream(int lines, int step) {
    std::string stream;
    stream.reserve(static_cast<std::size_t>(lines) * 30);
    char line[64];
    for (int i = 0; i < lines; ++i) {
        const int t = StreamTime(i, step);
        std::snprintf(line, sizeof line, " %04d  %d  %02d:%02d:%02d.%04d 00\r\n", i % 10000, i % 10,
                      t / 36000000, t / 600000 % 60, t / 10000 % 60, t % 10000);
        stream += line;
    }
    return stream;
}

}  // namespace harvel::bench
