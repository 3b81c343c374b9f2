#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "rareze/BackupLineAssembler.h"
#include "support/BackupLines.h"

namespace harvel {
namespace {

using test::BackupLine;
using test::TimeOf;

class BackupAssembler : public ::testing::Test {
protected:
    void SetUp() override {
        assembler.SetHandler([this](const Impulse& impulse) { received.push_back(impulse); });
    }
    BackupLineAssembler assembler;
    std::vector<Impulse> received;
};

// Characters before the CR → whether the line fires.
TEST_F(BackupAssembler, LineLengthDecidesAcceptance) {
    const struct {
        int characters;
        bool fires;
    } cases[] = {{25, false}, {26, true}, {27, true}, {28, true}, {29, true}, {30, false}};
    for (const auto& c : cases) {
        received.clear();
        const std::string base = BackupLine(' ', "0042", '1', ' ', "10:15:30.1234", "");
        const std::string line =
            base + std::string(static_cast<std::size_t>(c.characters) - base.size(), ' ');
        assembler.Feed(line + "\r");
        EXPECT_EQ(received.size(), c.fires ? 1u : 0u) << c.characters << " characters";
        // Whatever happened, the next good line is read.
        assembler.Feed(BackupLine(' ', "0001", '2', ' ', "10:15:31.0000") + "\r");
        ASSERT_FALSE(received.empty());
        EXPECT_EQ(received.back().StartNumber, 1) << c.characters << " characters";
    }
}

TEST_F(BackupAssembler, FieldsAndVoraStringWithCr) {
    const std::string line = BackupLine('K', "0042", '3', 'M', "10:15:30.1234") + "\r";
    assembler.Feed(line);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], (Impulse{'K', 42, 3, 'M', TimeOf(10, 15, 30, 1234), line}));
}

TEST_F(BackupAssembler, BlankPaddedNumberIsNegativeAndDelivered) {
    assembler.Feed(BackupLine(' ', "  42", '1', ' ', "10:15:30.1234") + "\r");
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].StartNumber, -17558);
}

TEST_F(BackupAssembler, ChannelThatIsNotADigitFiresNothing) {
    assembler.Feed(BackupLine(' ', "0042", 'A', ' ', "10:15:30.1234") + "\r");
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(assembler.Count(), 0);
}

TEST_F(BackupAssembler, LineSplitAtEveryByteFiresOnceAtTheCr) {
    const std::string line = BackupLine(' ', "0042", '1', ' ', "10:15:30.1234") + "\r\n";
    for (const char ch : line) {
        EXPECT_EQ(received.size(), ch == '\n' ? 1u : 0u);
        assembler.Feed(std::string_view(&ch, 1));
    }
    ASSERT_EQ(received.size(), 1u);
    // The LF only reset the empty buffer: the next line reads normally.
    assembler.Feed(line);
    EXPECT_EQ(received.size(), 2u);
}

TEST_F(BackupAssembler, ByteOutsideTheRangeLosesOnlyItsLine) {
    for (const char bad : {'{', '\x80', '\xFF', '\t', '\0'}) {
        received.clear();
        std::string line = BackupLine(' ', "0042", '1', ' ', "10:15:30.1234") + "\r";
        line[12] = bad;
        const std::string next = BackupLine(' ', "0043", '2', ' ', "10:15:31.1234") + "\r";
        assembler.Feed(line + next);
        ASSERT_EQ(received.size(), 1u) << int(static_cast<unsigned char>(bad));
        EXPECT_EQ(received[0].StartNumber, 43);
    }
}

TEST_F(BackupAssembler, LongRunWithoutCrNeverOverrunsAndRecovers) {
    assembler.Feed(std::string(10000, 'x'));
    EXPECT_LT(assembler.Count(), BackupLineAssembler::kBufferSize);
    // The pending x's are discarded by the CR that does not complete a line.
    assembler.Feed("\r" + BackupLine(' ', "0042", '1', ' ', "10:15:30.1234") + "\r");
    EXPECT_EQ(received.size(), 1u);
}

TEST(BackupAssemblerEvents, DisconnectedAssemblerKeepsItsPartialLine) {
    BackupLineAssembler assembler;
    std::vector<Impulse> received;
    const auto handler = [&](const Impulse& impulse) { received.push_back(impulse); };
    const std::string line = BackupLine(' ', "0042", '1', ' ', "10:15:30.1234") + "\r";

    assembler.SetHandler(handler);
    assembler.Feed(line.substr(0, 10));
    assembler.SetHandler(nullptr);
    assembler.Feed("garbage\x80\r\n");
    EXPECT_EQ(assembler.Count(), 10);
    assembler.SetHandler(handler);
    assembler.Feed(line.substr(10));
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].VoraString, line);
}

TEST(BackupAssemblerEvents, HandlerThatThrowsLeavesTheAssemblerEmpty) {
    BackupLineAssembler assembler;
    int calls = 0;
    assembler.SetHandler([&](const Impulse&) {
        if (++calls == 1) {
            throw std::runtime_error("placement failed");
        }
    });
    const std::string line = BackupLine(' ', "0042", '1', ' ', "10:15:30.1234") + "\r";
    EXPECT_THROW(assembler.Feed(line + line.substr(0, 5)), std::runtime_error);
    EXPECT_EQ(assembler.Count(), 0);
    assembler.Feed(line);
    EXPECT_EQ(calls, 2);
}

TEST(BackupAssemblerEvents, NestedFeedFromAHandlerReadsItsOwnLine) {
    BackupLineAssembler assembler;
    std::vector<int> numbers;
    const std::string first = BackupLine(' ', "0001", '1', ' ', "10:15:30.1234") + "\r";
    const std::string second = BackupLine(' ', "0002", '1', ' ', "10:15:30.2234") + "\r";
    assembler.SetHandler([&](const Impulse& impulse) {
        numbers.push_back(impulse.StartNumber);
        if (impulse.StartNumber == 1) {
            assembler.Feed(second);  // as a receive event inside a modal box would
        }
    });
    assembler.Feed(first);
    EXPECT_EQ(numbers, (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace harvel
