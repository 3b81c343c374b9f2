#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableView>
#include <QTest>

#include "platform/SheetModel.h"
#include "platform/TF1Book.h"
#include "platform/Workbook.h"

namespace harvel {
namespace {

class Grid : public ::testing::Test {
protected:
    void SetUp() override {
        grid.Book().InsertSheets(2, 1);
        grid.Book().set_SheetName(1, QStringLiteral("DayTime"));
        grid.Book().set_SheetName(2, QStringLiteral("LastDetection"));
        grid.resize(800, 600);
        grid.show();
        grid.SyncShownSheet();
    }
    TF1Book grid;
};

TEST_F(Grid, CellInTheLastRowOfAFullSheetIsOneCellChange) {
    Workbook& book = grid.Book();
    for (int row = 1; row <= book.MaxRow(); ++row) {
        for (int col = 1; col <= 5; ++col) {
            book.set_TextRC(row, col, QStringLiteral("10:00:00.0000"));
        }
    }
    QSignalSpy resets(grid.Model(), &QAbstractItemModel::modelReset);
    QSignalSpy changes(grid.Model(), &QAbstractItemModel::dataChanged);
    book.set_TextRC(65536, 3, QStringLiteral("changed"));
    ASSERT_EQ(changes.count(), 1);
    const auto topLeft = changes.at(0).at(0).value<QModelIndex>();
    const auto bottomRight = changes.at(0).at(1).value<QModelIndex>();
    EXPECT_EQ(topLeft, bottomRight);
    EXPECT_EQ(topLeft.row(), 65535);
    EXPECT_EQ(topLeft.column(), 2);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(grid.Model()->data(topLeft, Qt::DisplayRole).toString(), QStringLiteral("changed"));
}

TEST_F(Grid, SelectingASheetAndBackWithinOneEventDoesNotRedraw) {
    QSignalSpy resets(grid.Model(), &QAbstractItemModel::modelReset);
    grid.Book().SetSheet(2);
    grid.Book().set_TextRC(1, 1, QStringLiteral("log"));
    grid.Book().SetSheet(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(grid.Model()->ShownSheet(), 1);

    grid.Book().SetSheet(2);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.Model()->ShownSheet(), 2);
    EXPECT_EQ(grid.findChild<QTabBar*>(QStringLiteral("SheetTabs"))->currentIndex(), 1);
}

TEST_F(Grid, TabsShowSheetNamesAndSelectTheSheet) {
    auto* tabs = grid.findChild<QTabBar*>(QStringLiteral("SheetTabs"));
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("DayTime"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("LastDetection"));
    tabs->setCurrentIndex(1);
    EXPECT_EQ(grid.Book().Sheet(), 2);
    EXPECT_EQ(grid.Model()->ShownSheet(), 2);
}

TEST_F(Grid, UserEditsSetModifiedThroughViewAndEditBar) {
    Workbook& book = grid.Book();
    book.SetModified(false);
    auto* view = grid.findChild<QTableView*>(QStringLiteral("GridView"));
    grid.SetActiveCell(2, 3);
    // Typing into a cell opens the cell's editor; Return commits it.
    QTest::keyClick(view, Qt::Key_A);
    auto* editor = view->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("bc"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the delegate commits through a queued call
    EXPECT_EQ(book.get_TextRC(2, 3), QStringLiteral("abc"));
    EXPECT_TRUE(book.Modified());

    grid.ShowEditBar(true);
    auto* editBar = grid.findChild<QLineEdit*>(QStringLiteral("EditBar"));
    ASSERT_TRUE(grid.EditBarShown());
    EXPECT_EQ(editBar->text(), QStringLiteral("abc"));
    book.SetModified(false);
    editBar->setText(QStringLiteral("'0042"));
    QTest::keyClick(editBar, Qt::Key_Return);
    EXPECT_EQ(book.get_EntryRC(2, 3), QStringLiteral("'0042"));
    EXPECT_EQ(book.get_TextRC(2, 3), QStringLiteral("0042"));
    EXPECT_TRUE(book.Modified());
}

TEST_F(Grid, ActiveCellIsKeptPerSheet) {
    grid.SetActiveCell(10, 2);
    grid.Book().SetSheet(2);
    grid.SetActiveCell(20, 5);
    EXPECT_EQ(grid.Row(), 20);
    grid.Book().SetSheet(1);
    int row = 0;
    int col = 0;
    grid.GetActiveCell(row, col);
    EXPECT_EQ(row, 10);
    EXPECT_EQ(col, 2);
    EXPECT_THROW(grid.SetActiveCell(65537, 1), GridError);
}

TEST_F(Grid, CopyCutAndPasteAsTabSeparatedText) {
    Workbook& book = grid.Book();
    book.set_TextRC(1, 1, QStringLiteral("a"));
    book.set_TextRC(1, 2, QStringLiteral("b"));
    book.set_TextRC(2, 2, QStringLiteral("d"));
    auto* view = grid.View();
    view->selectionModel()->select(
        QItemSelection(grid.Model()->index(0, 0), grid.Model()->index(1, 1)),
        QItemSelectionModel::ClearAndSelect);
    grid.ClearClipboard();
    grid.EditCopy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("a\tb\n\td\n"));

    grid.EditCut();
    EXPECT_EQ(book.get_TextRC(1, 1), QString());
    EXPECT_EQ(book.get_TextRC(2, 2), QString());

    // A block from another spreadsheet (CR LF line ends) pastes at the selection's corner.
    QApplication::clipboard()->setText(QStringLiteral("x\ty\r\n1\t2\r\n"));
    view->selectionModel()->select(grid.Model()->index(65535, 255),
                                   QItemSelectionModel::ClearAndSelect);
    grid.EditPaste();
    EXPECT_EQ(book.get_TextRC(65536, 256), QStringLiteral("x")) << "the rest is outside the sheet";
    view->selectionModel()->select(grid.Model()->index(4, 2), QItemSelectionModel::ClearAndSelect);
    grid.EditPaste();
    EXPECT_EQ(book.get_TextRC(5, 3), QStringLiteral("x"));
    EXPECT_EQ(book.get_TextRC(5, 4), QStringLiteral("y"));
    EXPECT_EQ(book.get_TextRC(6, 3), QStringLiteral("1"));
    EXPECT_EQ(book.get_TextRC(6, 4), QStringLiteral("2"));
}

TEST_F(Grid, HeadingsAndWidthsReachTheView) {
    Workbook& book = grid.Book();
    book.set_ColText(3, QStringLiteral("C2"));
    EXPECT_EQ(grid.Model()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("C2"));
    EXPECT_EQ(grid.Model()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("D"));
    const int before = grid.View()->columnWidth(0);
    book.set_ColWidth(1, 3450);
    EXPECT_GT(grid.View()->columnWidth(0), before);
}

}  // namespace
}  // namespace harvel
