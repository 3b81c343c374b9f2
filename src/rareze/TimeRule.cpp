#include "rareze/TimeRule.h"

#include <array>

namespace harvel {
namespace {

struct Weighted {
    int column;
    std::uint32_t weight;
};

constexpr std::array<Weighted, 10> kTimeColumns{{{10, 360000000u},
                                                 {11, 36000000u},
                                                 {13, 6000000u},
                                                 {14, 600000u},
                                                 {16, 100000u},
                                                 {17, 10000u},
                                                 {19, 1000u},
                                                 {20, 100u},
                                                 {21, 10u},
                                                 {22, 1u}}};

}  // namespace

std::int32_t BackupLineTime(const unsigned char* line) {
    // Unsigned arithmetic wraps modulo 2^32; the final conversion is modular in C++20.
    std::uint32_t sum = 0;
    for (const auto& [column, weight] : kTimeColumns) {
        const unsigned char code = line[column];
        if ((column == 21 || column == 22) && code == ' ') {
            continue;
        }
        const auto digit = static_cast<std::uint32_t>(static_cast<std::int32_t>(code) - 48);
        sum += digit * weight;
    }
    return static_cast<std::int32_t>(sum);
}

}  // namespace harvel
