#include <gtest/gtest.h>

#include <cstdint>

#include "rareze/UsbLineParser.h"
#include "support/BackupLines.h"

namespace harvel {
namespace {

using test::BackupLine;
using test::TimeOf;

struct UsbCase {
    const char* name;
    std::string text;
    bool accepted;
    int startNumber = 0;
    int time = 0;
};

void PrintTo(const UsbCase& c, std::ostream* out) {
    *out << c.name;
}

class UsbTextCases : public ::testing::TestWithParam<UsbCase> {};

TEST_P(UsbTextCases, AcceptsOrDrops) {
    const UsbCase& c = GetParam();
    const auto impulse = ParseUsbText(c.text);
    ASSERT_EQ(impulse.has_value(), c.accepted) << EscapeBytes(c.text);
    if (c.accepted) {
        EXPECT_EQ(impulse->StartNumber, c.startNumber);
        EXPECT_EQ(impulse->Time, c.time);
    }
}

const std::string k1015 = "10:15:30.1234";

INSTANTIATE_TEST_SUITE_P(
    Lines, UsbTextCases,
    ::testing::Values(
        UsbCase{"plain", BackupLine(' ', "0042", '1', ' ', k1015, ""), true, 42,
                TimeOf(10, 15, 30, 1234)},
        UsbCase{"crlf_at_end", BackupLine(' ', "0042", '1', ' ', k1015, "\r\n"), true, 42,
                TimeOf(10, 15, 30, 1234)},
        UsbCase{"cr_inside_removed", " 00\r42  1  10:15:30.1234", true, 42,
                TimeOf(10, 15, 30, 1234)},
        UsbCase{"lf_inside_removed", " 0042 \n 1  10:15:30.1234", true, 42,
                TimeOf(10, 15, 30, 1234)},
        UsbCase{"vora_marker", BackupLine(' ', "0042", '1', ' ', k1015, " VORA:"), false},
        UsbCase{"vora_marker_lower_case_is_data",
                BackupLine(' ', "0042", '1', ' ', k1015, " vora:"), true, 42,
                TimeOf(10, 15, 30, 1234)},
        UsbCase{"leading_blanks_number", BackupLine(' ', "  42", '1', ' ', k1015), true, 42,
                TimeOf(10, 15, 30, 1234)},
        UsbCase{"trailing_blanks_number", BackupLine(' ', "42  ", '1', ' ', k1015), false},
        UsbCase{"negative_number", BackupLine(' ', "-001", '1', ' ', k1015), false},
        UsbCase{"plus_sign_number", BackupLine(' ', " +42", '1', ' ', k1015), true, 42,
                TimeOf(10, 15, 30, 1234)},
        UsbCase{"highest_number", BackupLine(' ', "9999", '1', ' ', k1015), true, 9999,
                TimeOf(10, 15, 30, 1234)},
        UsbCase{"blank_number", BackupLine(' ', "    ", '1', ' ', k1015), false},
        UsbCase{"channel_not_digit", BackupLine(' ', "0042", 'A', ' ', k1015), false},
        UsbCase{"midnight_refused", BackupLine(' ', "0001", '1', ' ', "00:00:00.0000"), false},
        UsbCase{"last_tick_of_day", BackupLine(' ', "0001", '1', ' ', "23:59:59.9999"), true, 1,
                864000000 - 1},
        UsbCase{"hour_24_refused", BackupLine(' ', "0001", '1', ' ', "24:00:00.0000"), false},
        UsbCase{"blank_last_two_decimals", BackupLine(' ', "0001", '1', ' ', "10:15:30.12  "), true,
                1, TimeOf(10, 15, 30, 1200)},
        // 22 characters: column 22 is a zero byte and counts -48.
        UsbCase{"22_characters", " 0042  1  10:15:30.123", true, 42, TimeOf(10, 15, 30, 1230) - 48},
        UsbCase{"empty", "", false}, UsbCase{"only_crlf", "\r\n", false},
        UsbCase{"one_character", "X", false},
        // A blank hour tens counts -16 * 360000000: the sum wraps negative and is refused.
        UsbCase{"blank_hour_tens", BackupLine(' ', "0001", '1', ' ', " 9:15:30.1234"), false}));

TEST(UsbParser, FieldsOfTheSpecimenLine) {
    const auto impulse = ParseUsbText("A0042  3M 10:15:30.1234   \r\n");
    ASSERT_TRUE(impulse);
    EXPECT_EQ(impulse->Info, 'A');
    EXPECT_EQ(impulse->StartNumber, 42);
    EXPECT_EQ(impulse->Channel, 3);
    EXPECT_EQ(impulse->Mode, 'M');
    EXPECT_EQ(impulse->Time, TimeOf(10, 15, 30, 1234));
    EXPECT_EQ(impulse->VoraString, "A0042  3M 10:15:30.1234   ");
}

TEST(UsbParser, VoraStringKeepsAll27Characters) {
    const std::string line = BackupLine(' ', "0042", '1', ' ', k1015, "abcd");
    ASSERT_EQ(line.size(), 27u);
    const auto impulse = ParseUsbText(line);
    ASSERT_TRUE(impulse);
    EXPECT_EQ(impulse->VoraString, line);
}

TEST(UsbParser, OverlongTextIsCutTo30AndKeepsItsTime) {
    const std::string line = BackupLine(' ', "0042", '1', ' ', k1015, std::string(500, 'x'));
    const auto impulse = ParseUsbText(line);
    ASSERT_TRUE(impulse);
    EXPECT_EQ(impulse->VoraString, line.substr(0, 30));
    EXPECT_EQ(impulse->Time, TimeOf(10, 15, 30, 1234));
}

TEST(UsbParser, TimeSumWrapsLikeSigned32Bit) {
    // Every time column holds byte 255 (digit 207): the sum leaves the 32-bit range.
    std::string line = BackupLine(' ', "0001", '1', ' ', std::string(13, '\xFF'));
    std::int64_t exact = 0;
    for (const std::int64_t weight : {360000000LL, 36000000LL, 6000000LL, 600000LL, 100000LL,
                                      10000LL, 1000LL, 100LL, 10LL, 1LL}) {
        exact += 207 * weight;
    }
    const auto wrapped = static_cast<std::int32_t>(static_cast<std::uint32_t>(exact));
    const auto impulse = ParseUsbText(line);
    // Accepted or not, the time rule itself must equal the wrapped sum.
    if (impulse) {
        EXPECT_EQ(impulse->Time, wrapped);
    } else {
        EXPECT_TRUE(wrapped <= 0 || wrapped >= kTicksPerDay);
    }
}

TEST(DecimalOrDefault, FollowsStrToIntDefRules) {
    struct {
        const char* text;
        int expected;
    } const cases[] = {{"42", 42},
                       {"  42", 42},
                       {"42 ", -1},
                       {"-001", -1},
                       {"+7", 7},
                       {"", -1},
                       {"-", -1},
                       {" ", -1},
                       {"4 2", -1},
                       {"0", 0},
                       {"-0", 0},
                       {"x1", -1},
                       {"2147483647", 2147483647},
                       {"2147483648", -1},
                       {"-2147483648", -2147483647 - 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(DecimalOrDefault(c.text, -1), c.expected) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace harvel
