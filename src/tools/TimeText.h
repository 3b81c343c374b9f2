#pragma once

#include <string>
#include <string_view>

#include "tools/Separators.h"

namespace harvel {

// Clock text of a time value (ten-thousandths of a second). `decimals` below 0 chooses
// from the trailing zeros; `width` 0 or below means no width.
[[nodiscard]] std::string TimeValueToText(int value, int decimals, int width, char timeSeparator,
                                          char decimalSeparator, bool zeroFill);

// TimeValueToText with the given separators and blank fill.
[[nodiscard]] std::string TimeValueToLocalText(int value, int decimals, int width,
                                               const Separators& separators);
// The same with the system's separators.
[[nodiscard]] std::string TimeValueToLocalText(int value, int decimals, int width);

// Time value of a clock reading; hundredths only, so the last two digits are 0.
[[nodiscard]] int TimeValueOfClock(int hours, int minutes, int seconds, int hundredths);
// The time of day now, from the local clock.
[[nodiscard]] int CurrentTimeValue();

// Integer text of `width` characters; `fill` '\0' means blank fill.
[[nodiscard]] std::string IntToPaddedText(int value, int width, char fill);
[[nodiscard]] std::string IntToFixedText(int value, int width, bool zeroFill);

// Characters from `position` (counting from 1) on, at most `count` of them.
[[nodiscard]] std::string SubText(std::string_view text, int position, int count);

}  // namespace harvel
