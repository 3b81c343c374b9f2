#pragma once

#include <cstdint>

namespace harvel {

// Time of a backup line from columns 10..22 of `line` (at least 23 bytes readable).
// No column is checked for being a digit: each contributes (code - 48) * weight, and
// columns 21 and 22 are skipped when blank. The sum wraps around like signed 32-bit
// arithmetic on the device's original platform, computed without signed overflow.
[[nodiscard]] std::int32_t BackupLineTime(const unsigned char* line);

}  // namespace harvel
