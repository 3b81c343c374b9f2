#include <gtest/gtest.h>

#include <QLocale>

#include "support/BackupLines.h"
#include "tools/TimeText.h"

namespace harvel {
namespace {

using test::TimeOf;

struct TimeCase {
    int value;
    int decimals;
    int width;
    bool zeroFill;
    std::string expected;
};

TEST(TimeValueToText, CasesWithColonAndPoint) {
    const TimeCase cases[] = {
        {0, -1, 0, false, "0"},
        {0, 2, 0, false, "0.00"},
        {0, -1, 5, false, "    0"},
        {TimeOf(0, 0, 5, 1000), -1, 0, false, "5.1"},
        {TimeOf(0, 0, 12, 3400), -1, 0, false, "12.34"},
        {TimeOf(0, 1, 5, 5000), -1, 0, false, "1:05.5"},
        {TimeOf(0, 12, 5, 0), -1, 0, false, "12:05"},
        {TimeOf(1, 2, 3, 4567), -1, 0, false, "1:02:03.4567"},
        {TimeOf(10, 15, 30, 1234), -1, 0, false, "10:15:30.1234"},
        {TimeOf(10, 15, 30, 1200), -1, 0, false, "10:15:30.12"},
        {TimeOf(10, 15, 30, 0), -1, 0, false, "10:15:30"},
        {TimeOf(10, 15, 30, 1234), 2, 0, false, "10:15:30.12"},
        {TimeOf(10, 15, 30, 1299), 2, 0, false, "10:15:30.12"},  // never rounded
        {TimeOf(10, 15, 30, 1234), 6, 0, false, "10:15:30.1234"},
        {864000000 - 1, -1, 0, false, "23:59:59.9999"},
        {TimeOf(0, 0, 5, 0), 2, 8, false, "    5.00"},
        {TimeOf(0, 0, 5, 0), 2, 12, false, "        5.00"},
        {TimeOf(9, 5, 3, 1200), 3, 12, true, "09:05:03.120"},
        {TimeOf(0, 0, 3, 1200), 3, 12, true, "00:00:03.120"},
        {TimeOf(0, 0, 5, 0), 2, 12, true, " 00:00:05.00"},
        {-TimeOf(0, 0, 5, 0), 2, 8, false, "-   5.00"},
        {-TimeOf(0, 1, 5, 5000), -1, 0, false, "-1:05.5"},
        {-TimeOf(9, 5, 3, 1200), 3, 12, true, "-9:05:03.120"},
        {-TimeOf(12, 5, 3, 1200), 3, 12, true, "12:05:03.120"},
        {TimeOf(12, 5, 3, 1200), 3, 5, false, "3.120"},
        {TimeOf(25, 0, 0, 0), 0, 0, false, "25:00:00"},
        // Extremes of the 32-bit range: hours keep counting, no overflow.
        {2147483647, -1, 0, false, "59:39:08.3647"},
        {-2147483647 - 1, -1, 0, false, "-59:39:08.3648"},
    };
    for (const TimeCase& c : cases) {
        EXPECT_EQ(TimeValueToText(c.value, c.decimals, c.width, ':', '.', c.zeroFill), c.expected)
            << "value " << c.value << " decimals " << c.decimals << " width " << c.width
            << " zero fill " << c.zeroFill;
    }
}

TEST(TimeValueToText, LocalTextUsesTheGivenSeparatorsAndBlankFill) {
    const Separators german{'.', ','};
    EXPECT_EQ(TimeValueToLocalText(TimeOf(1, 2, 3, 4567), -1, 0, german), "1.02.03,4567");
    EXPECT_EQ(TimeValueToLocalText(TimeOf(0, 0, 5, 0), 2, 8, german), "    5,00");
}

TEST(SystemSeparators, FollowTheLocale) {
    const struct {
        QLocale::Language language;
        QLocale::Territory territory;
        Separators expected;
    } cases[] = {
        {QLocale::English, QLocale::UnitedStates, {':', '.'}},
        {QLocale::German, QLocale::Germany, {':', ','}},
        {QLocale::Finnish, QLocale::Finland, {'.', ','}},
    };
    for (const auto& c : cases) {
        const Separators got = SeparatorsOf(QLocale(c.language, c.territory));
        EXPECT_EQ(got.time, c.expected.time) << QLocale::languageToString(c.language).toStdString();
        EXPECT_EQ(got.decimal, c.expected.decimal)
            << QLocale::languageToString(c.language).toStdString();
    }
}

TEST(CurrentTimeValue, ClockReadingInHundredths) {
    EXPECT_EQ(TimeValueOfClock(10, 15, 30, 45), TimeOf(10, 15, 30, 4500));
    const int now = CurrentTimeValue();
    EXPECT_EQ(now % 100, 0);
    EXPECT_GE(now, 0);
    EXPECT_LT(now, 864000000);
}

TEST(IntToPaddedText, Cases) {
    const struct {
        int value;
        int width;
        char fill;
        std::string expected;
    } cases[] = {
        {5, 3, '0', "005"},     {5, 3, '\0', "  5"},
        {0, 3, '\0', "   "},    {0, 3, '0', "000"},
        {-5, 3, '0', "-05"},    {-5, 3, '\0', " -5"},
        {12345, 3, '0', "345"}, {-12345, 3, '\0', "345"},
        {-12, 0, '0', "-12"},   {-12, -4, '\0', "-12"},
        {7, 4, '*', "***7"},    {-2147483647 - 1, 12, '0', "-02147483648"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IntToPaddedText(c.value, c.width, c.fill), c.expected)
            << c.value << " width " << c.width << " fill " << int(c.fill);
    }
    EXPECT_EQ(IntToFixedText(5, 3, true), "005");
    EXPECT_EQ(IntToFixedText(5, 3, false), "  5");
}

TEST(SubText, Cases) {
    const struct {
        std::string text;
        int position;
        int count;
        std::string expected;
    } cases[] = {
        {"abcdef", 0, 3, "abc"}, {"abcdef", -7, 2, "ab"}, {"abcdef", 2, 3, "bcd"},
        {"abcdef", 6, 1, "f"},   {"abcdef", 7, 1, ""},    {"abcdef", 3, 99, "cdef"},
        {"abcdef", 1, 0, ""},    {"abcdef", 1, -1, ""},   {"", 0, 3, ""},
        {"", 1, 3, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SubText(c.text, c.position, c.count), c.expected)
            << '"' << c.text << "\" " << c.position << ' ' << c.count;
    }
}

}  // namespace
}  // namespace harvel
