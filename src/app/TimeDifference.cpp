#include "app/TimeDifference.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "rareze/UsbLineParser.h"
#include "tools/TimeText.h"

namespace harvel {
namespace {

void RemoveAll(std::string& text, const std::string& what) {
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
        text.erase(at, what.size());
    }
}

// Characters first..last (from 1; first clipped to 1) as an integer, 0 when not one.
int Field(const std::string& text, int first, int last) {
    if (last < 1) {
        return 0;
    }
    first = std::max(first, 1);
    return DecimalOrDefault(SubText(text, first, last - first + 1), 0);
}

}  // namespace

int ClockTextValue(std::string text, char decimalSeparator) {
    RemoveAll(text, "'");
    RemoveAll(text, " AM");
    RemoveAll(text, " PM");
    const std::size_t found = text.find(decimalSeparator);
    if (found == std::string::npos || found >= 9) {
        return 0;
    }
    const int p = static_cast<int>(found) + 1;
    const int hours = p >= 8 ? Field(text, p - 8, p - 7) : 0;
    const int minutes = p >= 5 ? Field(text, p - 5, p - 4) : 0;
    const int seconds = p >= 2 ? Field(text, p - 2, p - 1) : 0;

    // Up to four decimals; fewer digits are tenths, hundredths... as their text says.
    std::string decimals = SubText(text, p + 1, 4);
    int fraction = DecimalOrDefault(decimals, 0);
    const bool digitsOnly =
        !decimals.empty() &&
        std::all_of(decimals.begin(), decimals.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digitsOnly) {
        for (std::size_t n = decimals.size(); n < 4; ++n) {
            fraction *= 10;
        }
    }
    const std::int64_t value = static_cast<std::int64_t>(hours) * 36000000 +
                               static_cast<std::int64_t>(minutes) * 600000 +
                               static_cast<std::int64_t>(seconds) * 10000 + fraction;
    return static_cast<int>(std::clamp<std::int64_t>(value, -2147483647, 2147483647));
}

std::string TimeDifferenceText(const std::string& start, const std::string& stop,
                               const Separators& separators) {
    const std::int64_t difference =
        std::llabs(static_cast<std::int64_t>(ClockTextValue(start, separators.decimal)) -
                   ClockTextValue(stop, separators.decimal));
    return TimeValueToLocalText(static_cast<int>(std::min<std::int64_t>(difference, 2147483647)), 4,
                                0, separators);
}

}  // namespace harvel
