#pragma once

#include <array>

namespace harvel {

constexpr int kChannels = 10;
constexpr int kCorrespondingTimes = 10;

// Where impulses go in the two sheets, and what the pairing remembers between them.
struct TableState {
    std::array<int, kChannels> ChannelColumn{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::array<int, kChannels> ChannelCorrespondingTime{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::array<int, kCorrespondingTimes> CorrespondingTimeWindow{1000, 1000, 1000, 1000, 1000,
                                                                 1000, 1000, 1000, 1000, 1000};
    // Time of the last impulse counted per corresponding time; 0 means none yet.
    std::array<int, kCorrespondingTimes> CorrespondingTimeLast{};
    int DayTimeRow = 1;
    int LastDetectionRow = 1;

    // Back to the first row with no last times (start-up, Clear Table).
    void ResetCounters() {
        CorrespondingTimeLast.fill(0);
        DayTimeRow = 1;
        LastDetectionRow = 1;
    }

    // A stored column outside 1..maxCol, or a corresponding time outside 0..9, would
    // address cells or entries that do not exist: such a channel keeps its default.
    [[nodiscard]] int EffectiveColumn(int channel, int maxCol) const {
        const int column = ChannelColumn[static_cast<std::size_t>(channel)];
        return (column >= 1 && column <= maxCol) ? column : channel + 1;
    }
    [[nodiscard]] int EffectiveCorrespondingTime(int channel) const {
        const int k = ChannelCorrespondingTime[static_cast<std::size_t>(channel)];
        return (k >= 0 && k < kCorrespondingTimes) ? k : channel;
    }
};

}  // namespace harvel
