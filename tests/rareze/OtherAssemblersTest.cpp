#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rareze/SerialInputAssembler.h"
#include "support/BackupLines.h"

namespace harvel {
namespace {

using test::BackupLine;
using test::TimeOf;

TEST(TextLines, LinesOfTwoTo33CharactersFireWithTheirCr) {
    TextLineAssembler assembler;
    std::vector<std::string> lines;
    assembler.SetHandler([&](std::string& line) { lines.push_back(line); });

    assembler.Feed("AB\r");
    EXPECT_EQ(lines, (std::vector<std::string>{"AB\r"}));

    // A CR at count 2 stays inside the line and collecting goes on.
    assembler.Feed("A\r");
    EXPECT_EQ(assembler.PartialLine(), "A\r");
    assembler.Feed("B\r");
    EXPECT_EQ(lines.back(), "A\rB\r");

    // An LF always empties; bytes above 'z' too.
    assembler.Feed("XYZ\nQ\r");
    EXPECT_EQ(lines.back(), "A\rB\r");
    assembler.Feed("abc~def\r");
    EXPECT_EQ(lines.back(), "def\r");

    // 33 characters and a CR fire; 34 and a CR overflow.
    assembler.Feed(std::string(33, 'x') + "\r");
    EXPECT_EQ(lines.back(), std::string(33, 'x') + "\r");
    const auto before = lines.size();
    assembler.Feed(std::string(34, 'y') + "\r");
    EXPECT_EQ(lines.size(), before);
    EXPECT_TRUE(assembler.PartialLine().empty());
}

TEST(DisplayLines, AddressedSpecimen) {
    DisplayLineAssembler assembler;
    std::vector<DisplayLine> lines;
    assembler.SetHandler([&](const DisplayLine& line) { lines.push_back(line); });
    const std::string text = "A123     09:59:59.98705\r";
    ASSERT_EQ(text.size(), 24u);
    assembler.Feed(text);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], (DisplayLine{'A', 123, ' ', TimeOf(9, 59, 59, 9870), 5, text}));
}

struct DisplayCase {
    const char* name;
    std::string line;  // without CR
    char address;
    int startNumber;
    int time;
    int place;
};

void PrintTo(const DisplayCase& c, std::ostream* out) {
    *out << c.name;
}

class DisplayLineCases : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayLineCases, Parse) {
    const DisplayCase& c = GetParam();
    DisplayLineAssembler assembler;
    std::vector<DisplayLine> lines;
    assembler.SetHandler([&](const DisplayLine& line) { lines.push_back(line); });
    assembler.Feed(c.line + "\r");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Address, c.address);
    EXPECT_EQ(lines[0].StartNumber, c.startNumber);
    EXPECT_EQ(lines[0].Time, c.time);
    EXPECT_EQ(lines[0].Place, c.place);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, DisplayLineCases,
    ::testing::Values(
        DisplayCase{"addressed_22_no_place", "L123     09:59:59.9871", 'L', 123,
                    TimeOf(9, 59, 59, 9870), -1},
        DisplayCase{"addressed_place_tens_not_digit", "B007     10:00:00.000 7", 'B', 7,
                    TimeOf(10, 0, 0, 0), 7},
        DisplayCase{"plain_23_ignores_column_22", "123     09:59:59.987123", ' ', 123,
                    TimeOf(9, 59, 59, 9870), 12},
        DisplayCase{"plain_22", "123     09:59:59.98712", ' ', 123, TimeOf(9, 59, 59, 9870), 12},
        DisplayCase{"plain_22_units_blank", "123     09:59:59.9871 ", ' ', 123,
                    TimeOf(9, 59, 59, 9870), -1},
        DisplayCase{"plain_21", "123     09:59:59.9874", ' ', 123, TimeOf(9, 59, 59, 9870), 4},
        DisplayCase{"plain_20", "123     09:59:59.987", ' ', 123, TimeOf(9, 59, 59, 9870), -1},
        // A letter A-L with a digit in column 17 is read plain: the letter counts 0.
        DisplayCase{"letter_with_digit_in_17", "A23     09:59:59.987", ' ', 23,
                    TimeOf(9, 59, 59, 9870), -1},
        // Out-of-range digits (hour tens 3, minute tens 6) count 0.
        DisplayCase{"out_of_range_digits", "123     39:69:59.987", ' ', 123, TimeOf(9, 9, 59, 9870),
                    -1}));

TEST(DisplayLines, LengthLimits) {
    DisplayLineAssembler assembler;
    int count = 0;
    assembler.SetHandler([&](const DisplayLine&) { ++count; });
    assembler.Feed("123     09:59:59.98\r");       // 19 characters
    assembler.Feed("123     09:59:59.987123X\r");  // 24 characters
    EXPECT_EQ(count, 0);
    assembler.Feed("123     09:59:59.987\r");
    EXPECT_EQ(count, 1);
}

TEST(Packets, SizeThreeOverChunksOfTwoAndFive) {
    PacketAssembler assembler;
    std::vector<std::string> packets;
    assembler.SetHandler([&](std::string& packet) { packets.push_back(packet); });
    assembler.SetPacketSize(3);
    assembler.Feed("12");
    EXPECT_TRUE(packets.empty());
    assembler.Feed("34567");
    EXPECT_EQ(packets, (std::vector<std::string>{"123", "456"}));
    EXPECT_EQ(assembler.Pending(), 1u);
}

TEST(Packets, SizeZeroAndNegativePassWholeChunks) {
    for (const int size : {0, -5}) {
        PacketAssembler assembler;
        std::vector<std::string> packets;
        assembler.SetHandler([&](std::string& packet) { packets.push_back(packet); });
        assembler.SetPacketSize(size);
        EXPECT_EQ(assembler.PacketSize(), 0);
        assembler.Feed("");
        assembler.Feed("abcdef");
        EXPECT_EQ(packets, (std::vector<std::string>{"abcdef"})) << size;
    }
}

TEST(Packets, SizeOneOverALargeChunkKeepsOrder) {
    PacketAssembler assembler;
    std::string joined;
    assembler.SetHandler([&](std::string& packet) { joined += packet; });
    assembler.SetPacketSize(1);
    std::string chunk;
    for (int i = 0; i < 65534; ++i)
        chunk += static_cast<char>('a' + i % 26);
    assembler.Feed(chunk);
    EXPECT_EQ(joined, chunk);
}

TEST(SerialInput, EachAssemblerConsumesTheChunkInTheFixedOrder) {
    SerialInputAssembler input;
    std::vector<std::string> order;
    input.TextLines().SetHandler([&](std::string&) { order.push_back("text"); });
    input.BackupLines().SetHandler([&](const Impulse&) { order.push_back("backup"); });
    input.DisplayLines().SetHandler([&](const DisplayLine&) { order.push_back("display"); });
    input.Packets().SetHandler([&](std::string&) { order.push_back("packet"); });

    const std::string backup = BackupLine(' ', "0042", '1', ' ', "10:15:30.1234") + "\r";
    const std::string display = "123     09:59:59.987\r";
    input.Feed(backup + display + backup);
    EXPECT_EQ(order, (std::vector<std::string>{"text", "text", "text", "backup", "backup",
                                               "display", "packet"}));
}

TEST(SerialInput, OnlyConnectedAssemblersRun) {
    SerialInputAssembler input;
    std::vector<Impulse> impulses;
    input.BackupLines().SetHandler([&](const Impulse& i) { impulses.push_back(i); });
    input.Feed(BackupLine(' ', "0042", '1', ' ', "10:15:30.1234") + "\r");
    EXPECT_EQ(impulses.size(), 1u);
    EXPECT_TRUE(input.TextLines().PartialLine().empty());
    EXPECT_EQ(input.Packets().Pending(), 0u);
}

}  // namespace
}  // namespace harvel
