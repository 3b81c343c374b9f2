#include <gtest/gtest.h>

#include <QSignalSpy>

#include "platform/Workbook.h"

namespace harvel {
namespace {

TEST(Workbook, CellsHoldTheirEntryAndShowTheirText) {
    Workbook book;
    EXPECT_EQ(book.get_TextRC(1, 1), QString());
    book.set_TextRC(3, 5, QStringLiteral("10:15:30.1234"));
    book.set_TextRC(3, 2, QStringLiteral("'42"));
    book.set_TextRC(65536, 256, QStringLiteral("corner"));
    EXPECT_EQ(book.get_TextRC(3, 5), QStringLiteral("10:15:30.1234"));
    EXPECT_EQ(book.get_EntryRC(3, 2), QStringLiteral("'42"));
    EXPECT_EQ(book.get_TextRC(3, 2), QStringLiteral("42"));
    EXPECT_EQ(book.get_NumberRC(3, 2), 0.0);  // typed as text
    book.set_TextRC(4, 1, QStringLiteral("12.5"));
    EXPECT_EQ(book.get_NumberRC(4, 1), 12.5);
    EXPECT_EQ(book.get_TextRC(65536, 256), QStringLiteral("corner"));
    EXPECT_EQ(book.LastRow(1), 65536);
    EXPECT_EQ(book.LastCol(1), 256);
    book.set_TextRC(65536, 256, QString());
    EXPECT_EQ(book.LastRow(1), 4);
}

TEST(Workbook, AddressOutsideTheSheetRaisesAndChangesNothing) {
    Workbook book;
    book.set_TextRC(1, 1, QStringLiteral("kept"));
    book.SetModified(false);
    QSignalSpy changes(&book, &Workbook::cellChanged);
    const struct {
        int row, col;
    } outside[] = {{0, 1}, {1, 0}, {65537, 1}, {1, 257}, {-1, -1}, {2147483647, 1}};
    for (const auto& cell : outside) {
        EXPECT_THROW(book.set_TextRC(cell.row, cell.col, QStringLiteral("x")), GridError)
            << cell.row << "," << cell.col;
        EXPECT_THROW((void)book.get_TextRC(cell.row, cell.col), GridError);
        EXPECT_THROW((void)book.get_EntryRC(cell.row, cell.col), GridError);
    }
    EXPECT_THROW(book.set_ColText(257, QStringLiteral("x")), GridError);
    EXPECT_THROW(book.set_ColWidth(0, 3450), GridError);
    EXPECT_THROW(book.SetSheet(2), GridError);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_FALSE(book.Modified());
    EXPECT_EQ(book.get_TextRC(1, 1), QStringLiteral("kept"));
    EXPECT_EQ(book.LastRow(1), 1);
}

TEST(Workbook, ModifiedFollowsContentChanges) {
    Workbook book;
    EXPECT_FALSE(book.Modified());
    book.set_ColText(1, QStringLiteral("Info"));
    book.set_ColWidth(5, 3450);
    book.set_SheetName(1, QStringLiteral("DayTime"));
    EXPECT_FALSE(book.Modified()) << "layout is not content";
    book.set_TextRC(1, 1, QStringLiteral("a"));
    EXPECT_TRUE(book.Modified());
    book.SetModified(false);
    book.ClearRange(1, 1, book.MaxRow(), book.MaxCol(), 1);
    EXPECT_TRUE(book.Modified());
    EXPECT_EQ(book.get_TextRC(1, 1), QString());
}

TEST(Workbook, SheetsInsertDeleteAndSelect) {
    Workbook book;
    ASSERT_EQ(book.NumSheets(), 1);
    book.set_SheetName(1, QStringLiteral("First"));
    book.InsertSheets(2, 1);
    book.InsertSheets(3, 2);
    ASSERT_EQ(book.NumSheets(), 4);
    book.SetSheet(3);
    book.set_TextRC(1, 1, QStringLiteral("on three"));
    // A sheet inserted at 2 moves the later ones back one place.
    book.InsertSheets(2, 1);
    EXPECT_EQ(book.Sheet(), 4);
    EXPECT_EQ(book.get_TextRC(1, 1), QStringLiteral("on three"));
    EXPECT_EQ(book.SheetName(1), QStringLiteral("First"));
    book.DeleteSheets(3, book.NumSheets() - 2);
    EXPECT_EQ(book.NumSheets(), 2);
    EXPECT_LE(book.Sheet(), 2);
    EXPECT_THROW(book.DeleteSheets(1, 2), GridError) << "a workbook keeps one sheet";
}

TEST(Workbook, CellAndColumnOperationsAddressTheSelectedSheet) {
    Workbook book;
    book.InsertSheets(2, 1);
    book.SetSheet(2);
    book.set_TextRC(1, 1, QStringLiteral("two"));
    book.set_ColText(5, QStringLiteral("Time"));
    book.set_ColWidth(5, 3450);
    book.SetSheet(1);
    EXPECT_EQ(book.get_TextRC(1, 1), QString());
    EXPECT_EQ(book.ColText(5), QStringLiteral("E"));
    EXPECT_EQ(book.ColWidth(5), Workbook::kDefaultColWidth);
    EXPECT_EQ(book.TextAt(2, 1, 1), QStringLiteral("two"));
    EXPECT_EQ(book.HeadingAt(2, 5), QStringLiteral("Time"));
    EXPECT_EQ(book.WidthAt(2, 5), 3450);
}

TEST(Workbook, ColumnLetters) {
    const struct {
        int col;
        const char* letters;
    } cases[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {256, "IV"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Workbook::ColumnLetters(c.col), QLatin1String(c.letters)) << c.col;
    }
}

TEST(Workbook, PartialClearRangeKeepsTheRest) {
    Workbook book;
    for (int row = 1; row <= 3; ++row) {
        for (int col = 1; col <= 3; ++col) {
            book.set_TextRC(row, col, QStringLiteral("%1%2").arg(row).arg(col));
        }
    }
    book.ClearRange(2, 2, 3, 3, 1);
    EXPECT_EQ(book.get_TextRC(2, 1), QStringLiteral("21"));
    EXPECT_EQ(book.get_TextRC(2, 2), QString());
    EXPECT_EQ(book.get_TextRC(3, 3), QString());
    EXPECT_EQ(book.get_TextRC(1, 3), QStringLiteral("13"));
}

}  // namespace
}  // namespace harvel
