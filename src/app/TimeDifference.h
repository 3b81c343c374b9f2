#pragma once

#include <string>

#include "tools/Separators.h"

namespace harvel {

// The time value of a clock text as the status bar shows it, read by the position of its
// first decimal separator: apostrophes, " AM" and " PM" removed, fields that are not
// whole numbers count 0, no separator (or one at position 10 or later) gives 0. The
// fraction is read as decimals: ".12" is 1200 ten-thousandths.
[[nodiscard]] int ClockTextValue(std::string text, char decimalSeparator);

// The difference text of two clock texts: |start - stop| with four decimals.
[[nodiscard]] std::string TimeDifferenceText(const std::string& start, const std::string& stop,
                                             const Separators& separators);

}  // namespace harvel
