#include <gtest/gtest.h>

#include "app/ImpulsePlacement.h"
#include "platform/Workbook.h"
#include "rareze/Impulse.h"
#include "support/BackupLines.h"

namespace harvel {
namespace {

using test::TimeOf;

const Separators kColonPoint{':', '.'};

// The two-sheet workbook as start-up leaves it, with the default table state.
class Placement : public ::testing::Test {
protected:
    void SetUp() override {
        book.InsertSheets(2, 1);
        book.SetSheet(1);
    }
    void Place(int channel, int time, int number = 7) {
        PlaceImpulse(book, state, Impulse{' ', number, channel, 'M', time, {}}, kColonPoint);
    }
    QString Pairing(int row, int col) const { return book.TextAt(kPairingSheet, row, col); }
    QString Log(int row, int col) const { return book.TextAt(kLogSheet, row, col); }

    Workbook book;
    TableState state;
};

TEST_F(Placement, FirstImpulseStartsAllClocks) {
    Place(3, 360000000, 42);
    EXPECT_EQ(Log(1, 1), QStringLiteral(" "));
    EXPECT_EQ(Log(1, 2), QStringLiteral("42"));
    EXPECT_EQ(Log(1, 3), QStringLiteral("3"));
    EXPECT_EQ(Log(1, 4), QStringLiteral("M"));
    EXPECT_EQ(Log(1, 5), QStringLiteral("10:00:00.0000"));
    EXPECT_EQ(Pairing(1, 4), QStringLiteral("10:00:00.0000"));
    for (const int last : state.CorrespondingTimeLast) {
        EXPECT_EQ(last, 360000000);
    }
    EXPECT_EQ(state.LastDetectionRow, 2);
    EXPECT_EQ(state.DayTimeRow, 1);
    EXPECT_EQ(book.Sheet(), 1) << "selected sheet restored";
}

TEST_F(Placement, WindowAndFilledCellDecideTheRow) {
    Place(3, TimeOf(10, 0, 0, 0));
    Place(1, TimeOf(10, 0, 0, 500));  // within 1000: same row, empty cell
    EXPECT_EQ(Pairing(1, 2), QStringLiteral("10:00:00.0500"));
    Place(3, TimeOf(10, 0, 0, 800));  // within the window, but its cell is filled
    EXPECT_EQ(Pairing(2, 4), QStringLiteral("10:00:00.0800"));
    EXPECT_EQ(state.DayTimeRow, 2);
    EXPECT_EQ(state.CorrespondingTimeLast[3], TimeOf(10, 0, 0, 800));
    EXPECT_EQ(state.LastDetectionRow, 4);
}

TEST_F(Placement, ExactlyOneWindowStaysOneTickMoreOpensARow) {
    const struct {
        int offset;
        int expectedRow;
    } cases[] = {{1000, 1}, {1001, 2}, {-5000, 1}};
    for (const auto& c : cases) {
        Workbook fresh;
        fresh.InsertSheets(2, 1);
        TableState s;
        PlaceImpulse(fresh, s, Impulse{' ', 1, 0, ' ', TimeOf(10, 0, 0, 0), {}}, kColonPoint);
        PlaceImpulse(fresh, s, Impulse{' ', 2, 1, ' ', TimeOf(10, 0, 0, 0) + c.offset, {}},
                     kColonPoint);
        // Channel 1 has its own corresponding time 1, started by the first impulse.
        EXPECT_EQ(s.DayTimeRow, c.expectedRow) << "offset " << c.offset;
        EXPECT_FALSE(fresh.TextAt(kPairingSheet, c.expectedRow, 2).isEmpty()) << c.offset;
    }
}

TEST_F(Placement, WindowExceededAndCellFilledLandsTwoRowsDown) {
    book.SetTextAt(kPairingSheet, 2, 2, QStringLiteral("typed by hand"));
    Place(0, TimeOf(10, 0, 0, 0));
    Place(1, TimeOf(10, 0, 5, 0));
    EXPECT_EQ(state.DayTimeRow, 3);
    EXPECT_EQ(Pairing(3, 2), QStringLiteral("10:00:05.0000"));
    EXPECT_EQ(Pairing(2, 2), QStringLiteral("typed by hand"));
}

TEST_F(Placement, SharedColumnMovesTheSecondImpulseDown) {
    state.ChannelColumn[1] = 1;
    Place(0, TimeOf(10, 0, 0, 0));
    Place(1, TimeOf(10, 0, 0, 10));
    EXPECT_EQ(Pairing(1, 1), QStringLiteral("10:00:00.0000"));
    EXPECT_EQ(Pairing(2, 1), QStringLiteral("10:00:00.0010"));
}

TEST_F(Placement, SharedCorrespondingTimePairsStartAndFinish) {
    // Channels 0 and 1 on one corresponding time with a 10 s window: pairs share rows.
    state.ChannelCorrespondingTime[1] = 0;
    state.CorrespondingTimeWindow[0] = 100000;
    Place(0, TimeOf(10, 0, 0, 0));
    Place(1, TimeOf(10, 0, 3, 0));
    Place(0, TimeOf(10, 0, 20, 0));
    Place(1, TimeOf(10, 0, 25, 0));
    EXPECT_EQ(Pairing(1, 1), QStringLiteral("10:00:00.0000"));
    EXPECT_EQ(Pairing(1, 2), QStringLiteral("10:00:03.0000"));
    EXPECT_EQ(Pairing(2, 1), QStringLiteral("10:00:20.0000"));
    EXPECT_EQ(Pairing(2, 2), QStringLiteral("10:00:25.0000"));
}

TEST_F(Placement, StoredValuesOutsideTheirRangesUseTheChannelDefaults) {
    state.ChannelColumn[2] = 0;
    state.ChannelColumn[3] = 300;
    state.ChannelCorrespondingTime[2] = 10;
    state.ChannelCorrespondingTime[3] = -1;
    Place(2, TimeOf(10, 0, 0, 0));
    Place(3, TimeOf(10, 0, 0, 100));
    EXPECT_EQ(Pairing(1, 3), QStringLiteral("10:00:00.0000"));
    EXPECT_EQ(Pairing(1, 4), QStringLiteral("10:00:00.0100"));
    // A column above 26 but inside the sheet is a valid choice and is kept.
    state.ChannelColumn[4] = 30;
    Place(4, TimeOf(10, 0, 0, 200));
    EXPECT_EQ(Pairing(1, 30), QStringLiteral("10:00:00.0200"));
}

TEST_F(Placement, ExtremeSerialTimesNeverOverflowTheDifference) {
    Place(0, -2147483647 - 1);
    Place(0, 2147483647);
    EXPECT_EQ(state.DayTimeRow, 2);
    EXPECT_EQ(Log(1, 5), QStringLiteral("-59:39:08.3648"));
}

TEST_F(Placement, FullLogSheetRaisesAndChangesNothing) {
    state.LastDetectionRow = book.MaxRow();
    Place(0, TimeOf(10, 0, 0, 0));
    EXPECT_EQ(state.LastDetectionRow, book.MaxRow() + 1);
    const int pairingRow = state.DayTimeRow;
    book.SetModified(false);
    EXPECT_THROW(Place(1, TimeOf(10, 0, 1, 0)), GridError);
    EXPECT_EQ(state.LastDetectionRow, book.MaxRow() + 1);
    EXPECT_EQ(state.DayTimeRow, pairingRow);
    EXPECT_FALSE(book.Modified()) << "no cell was written";
    EXPECT_EQ(book.LastRow(kPairingSheet), 1);
}

TEST_F(Placement, FullPairingSheetRaisesAtItsLastRow) {
    state.DayTimeRow = book.MaxRow();
    Place(0, TimeOf(10, 0, 0, 0));
    EXPECT_EQ(Pairing(book.MaxRow(), 1), QStringLiteral("10:00:00.0000"));
    EXPECT_THROW(Place(0, TimeOf(10, 0, 0, 10)), GridError);  // cell filled: next row
    EXPECT_EQ(state.DayTimeRow, book.MaxRow());
    EXPECT_EQ(Log(2, 5), QStringLiteral("10:00:00.0010")) << "the log row is kept";
}

TEST(TableTimeText, Cases) {
    const struct {
        int time;
        int decimals;
        const char* expected;
    } cases[] = {
        {5, 4, "0.0005"},
        {TimeOf(0, 0, 12, 3456), 4, "12.3456"},
        {TimeOf(0, 1, 1, 2345), 4, "1:01.2345"},
        {TimeOf(12, 30, 12, 3456), 4, "12:30:12.3456"},
        {36000000, 4, "1:00:00.0000"},
        {-TimeOf(0, 1, 1, 2345), 4, "-1:01.2345"},
        {0, 4, "0.0000"},
        {0, 1, "0.0"},
        {0, 0, "0"},
        {0, 7, "0.0000"},
        {864000000 - 1, 4, "23:59:59.9999"},
        {25 * 36000000, 4, "25:00:00.0000"},
        {TimeOf(0, 0, 9, 9999), 2, "9.99"},
        {TimeOf(0, 0, 5, 1234), 0, "5"},
        {TimeOf(0, 0, 5, 1234), 9, "5.1234"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TableTimeText(c.time, c.decimals, kColonPoint), QLatin1String(c.expected))
            << c.time << " with " << c.decimals;
    }
    // The system's separators, except the literal point of a zero time.
    EXPECT_EQ(TableTimeText(TimeOf(1, 2, 3, 4567), 4, Separators{'.', ','}),
              QStringLiteral("1.02.03,4567"));
    EXPECT_EQ(TableTimeText(0, 4, Separators{'.', ','}), QStringLiteral("0.0000"));
}

TEST(ColumnHeaders, ChannelsLabelTheirColumns) {
    Workbook book;
    book.InsertSheets(2, 1);
    book.SetSheet(2);
    TableState state;
    state.ChannelColumn = {1, 1, 3, 4, 5, 6, 7, 8, 9, 40};
    WriteColumnHeaders(book, state);
    EXPECT_EQ(book.Sheet(), 2) << "selected sheet kept";
    EXPECT_EQ(book.HeadingAt(1, 1), QStringLiteral("C1")) << "a later channel overwrites";
    EXPECT_EQ(book.HeadingAt(1, 2), QStringLiteral("B"));
    EXPECT_EQ(book.HeadingAt(1, 3), QStringLiteral("C2"));
    EXPECT_EQ(book.HeadingAt(1, 26), QStringLiteral("Z"));
    EXPECT_EQ(book.HeadingAt(1, 40), QStringLiteral("C9"));
    const char* const log[] = {"Info", "Number", "Channel", "Type", "Time"};
    for (int col = 1; col <= 5; ++col) {
        EXPECT_EQ(book.HeadingAt(2, col), QLatin1String(log[col - 1]));
    }
    // Moving channel 9 back: column 40 keeps its "C" heading, as the headings above 26
    // are never rewritten.
    state.ChannelColumn[9] = 10;
    WriteColumnHeaders(book, state);
    EXPECT_EQ(book.HeadingAt(1, 10), QStringLiteral("C9"));
    EXPECT_EQ(book.HeadingAt(1, 40), QStringLiteral("C9"));
}

}  // namespace
}  // namespace harvel
