#include "tools/TimeText.h"

#include <QTime>
#include <array>
#include <cstdint>

namespace harvel {
namespace {

char Digit(std::int64_t value) {
    return static_cast<char>('0' + value % 10);
}

int AutomaticDecimals(std::int64_t magnitude) {
    if (magnitude % 10 != 0)
        return 4;
    if (magnitude % 100 != 0)
        return 3;
    if (magnitude % 1000 != 0)
        return 2;
    if (magnitude % 10000 != 0)
        return 1;
    return 0;
}

}  // namespace

std::string TimeValueToText(int value, int decimals, int width, char timeSeparator,
                            char decimalSeparator, bool zeroFill) {
    if (value == 0 && decimals < 0 && width <= 0) {
        return "0";
    }
    // 64-bit so that the magnitude of INT_MIN is representable.
    const std::int64_t m = value < 0 ? -static_cast<std::int64_t>(value) : value;
    if (decimals < 0) {
        decimals = AutomaticDecimals(m);
    }

    const std::int64_t seconds = (m / 10000) % 60;
    const std::int64_t minutes = (m / 600000) % 60;
    const std::int64_t hours = m / 36000000;

    std::string s(1, Digit(seconds));
    if (decimals > 0) {
        s += decimalSeparator;
        const std::array<std::int64_t, 4> fractions{m / 1000, m / 100, m / 10, m};
        for (int i = 0; i < decimals && i < 4; ++i) {
            s += Digit(fractions[static_cast<std::size_t>(i)]);
        }
    }

    const auto roomForTwo = [&] { return width - static_cast<int>(s.size()) >= 2; };
    struct Step {
        std::int64_t threshold;
        std::string digits;
        bool twoBlankFill;
    };
    const std::array<Step, 5> steps{{
        {100000, std::string(1, Digit(seconds / 10)), false},
        {600000, std::string{Digit(minutes), timeSeparator}, true},
        {6000000, std::string(1, Digit(minutes / 10)), false},
        {36000000, std::string{Digit(hours), timeSeparator}, true},
        {360000000, std::to_string(m / 360000000), false},
    }};
    for (const Step& step : steps) {
        const bool below = m < step.threshold;
        if (below && width <= static_cast<int>(s.size())) {
            break;
        }
        if (below && !zeroFill) {
            s.insert(0, step.twoBlankFill && roomForTwo() ? 2 : 1, ' ');
        } else {
            s.insert(0, step.digits);
        }
    }

    if (width > 0) {
        const auto w = static_cast<std::size_t>(width);
        if (s.size() > w) {
            s.erase(0, s.size() - w);
        } else {
            s.insert(0, w - s.size(), ' ');
        }
        if (value < 0 && (s[0] == ' ' || s[0] == '0')) {
            s[0] = '-';
        }
    } else if (value < 0) {
        s.insert(0, 1, '-');
    }
    return s;
}

std::string TimeValueToLocalText(int value, int decimals, int width, const Separators& separators) {
    return TimeValueToText(value, decimals, width, separators.time, separators.decimal, false);
}

std::string TimeValueToLocalText(int value, int decimals, int width) {
    return TimeValueToLocalText(value, decimals, width, SystemSeparators());
}

int TimeValueOfClock(int hours, int minutes, int seconds, int hundredths) {
    return hours * 36000000 + minutes * 600000 + seconds * 10000 + hundredths * 100;
}

int CurrentTimeValue() {
    const QTime now = QTime::currentTime();
    return TimeValueOfClock(now.hour(), now.minute(), now.second(), now.msec() / 10);
}

std::string IntToPaddedText(int value, int width, char fill) {
    if (width <= 0) {
        return std::to_string(value);
    }
    const std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
    const bool blankFill = fill == '\0';
    std::string text;
    if (!blankFill) {
        text = std::to_string(magnitude);
    } else if (value != 0) {
        text = std::to_string(value);
    } else {
        text = " ";
    }
    const auto w = static_cast<std::size_t>(width);
    if (text.size() < w) {
        text.insert(0, w - text.size(), blankFill ? ' ' : fill);
    }
    if (text.size() > w) {
        text.erase(0, text.size() - w);
    }
    if (value < 0 && !blankFill) {
        text[0] = '-';
    }
    return text;
}

std::string IntToFixedText(int value, int width, bool zeroFill) {
    return IntToPaddedText(value, width, zeroFill ? '0' : '\0');
}

std::string SubText(std::string_view text, int position, int count) {
    if (static_cast<long long>(text.size()) < position || count <= 0) {
        return {};
    }
    const auto start = static_cast<std::size_t>(position < 1 ? 0 : position - 1);
    return std::string(text.substr(start, static_cast<std::size_t>(count)));
}

}  // namespace harvel
