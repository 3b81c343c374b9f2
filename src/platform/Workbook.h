#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>
#include <vector>

#include "platform/WorkbookData.h"

namespace harvel {

// Raised by a grid operation on a cell, column or sheet that does not exist.
class GridError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The spreadsheet control's data: numbered sheets with names, sparse cells holding the
// entry text, column headings and widths, the selected sheet and the Modified flag.
// Rows, columns and sheets count from 1. Every cell and column operation addresses the
// selected sheet. No widgets: the grid widget observes it through the signals.
class Workbook : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxRow = 65536;
    static constexpr int kMaxCol = 256;
    // Column width in 1/256 of a character, as a new sheet has it.
    static constexpr int kDefaultColWidth = 9 * 256;

    explicit Workbook(QObject* parent = nullptr);

    [[nodiscard]] int MaxRow() const { return kMaxRow; }
    [[nodiscard]] int MaxCol() const { return kMaxCol; }

    [[nodiscard]] int Sheet() const { return m_selected; }
    void SetSheet(int sheet);
    [[nodiscard]] int NumSheets() const { return static_cast<int>(m_sheets.size()); }
    void InsertSheets(int position, int count);
    void DeleteSheets(int position, int count);
    // Drops every sheet and starts over with `count` empty ones (a file read replaces all).
    void ResetSheets(int count);

    void set_SheetName(int sheet, const QString& name);
    [[nodiscard]] QString SheetName(int sheet) const;

    void set_ColText(int col, const QString& text);
    // The heading shown above the column: its text, or its letters when none is set.
    [[nodiscard]] QString ColText(int col) const;
    void set_ColWidth(int col, int width);
    [[nodiscard]] int ColWidth(int col) const;

    void set_TextRC(int row, int col, const QString& text);
    [[nodiscard]] QString get_TextRC(int row, int col) const;
    [[nodiscard]] QString get_EntryRC(int row, int col) const;
    [[nodiscard]] double get_NumberRC(int row, int col) const;
    // Empties the cells of the range (clear type 1: contents).
    void ClearRange(int row1, int col1, int row2, int col2, int clearType);

    // The same operations on a sheet given by number, without selecting it.
    [[nodiscard]] QString TextAt(int sheet, int row, int col) const;
    [[nodiscard]] QString EntryAt(int sheet, int row, int col) const;
    [[nodiscard]] QString HeadingAt(int sheet, int col) const;
    [[nodiscard]] int WidthAt(int sheet, int col) const;
    void SetTextAt(int sheet, int row, int col, const QString& text);
    // Highest row / column holding a cell on `sheet`, 0 when it is empty.
    [[nodiscard]] int LastRow(int sheet) const;
    [[nodiscard]] int LastCol(int sheet) const;

    // The whole content as plain data (for a save that may run elsewhere), and its
    // replacement by the content of a file.
    [[nodiscard]] WorkbookData Snapshot() const;
    void Replace(const WorkbookData& data);
    // Stores the workbook as an Excel file (file type 11); raises XlsError.
    void Write(const QString& path, int fileType);
    // Replaces the workbook with a file's sheets; the file-type code, 8 when the file is
    // not a readable workbook (the workbook is then left as it was).
    [[nodiscard]] int ReadEx(const QString& path);

    [[nodiscard]] bool Modified() const { return m_modified; }
    // Grows with every content change: tells whether anything changed since a snapshot.
    [[nodiscard]] quint64 ChangeCount() const { return m_changes; }
    void SetModified(bool modified) { m_modified = modified; }

    [[nodiscard]] static QString ColumnLetters(int col);

signals:
    void cellChanged(int sheet, int row, int col);
    void sheetCleared(int sheet);
    void sheetsChanged();
    void headingChanged(int sheet, int col);
    void widthChanged(int sheet, int col);
    void selectedSheetChanged(int sheet);

private:
    struct Cell {
        int col;
        QString entry;
    };
    struct SheetStore {
        QString name;
        // rows[r - 1]: the row's cells sorted by column; only filled cells are kept.
        std::vector<std::vector<Cell>> rows;
        std::vector<QString> headings;  // per column, empty: letters
        std::vector<int> widths;        // per column
    };

    void CheckCell(int row, int col) const;
    void CheckCol(int col) const;
    void CheckSheet(int sheet) const;
    [[nodiscard]] SheetStore& Selected() {
        return m_sheets[static_cast<std::size_t>(m_selected - 1)];
    }
    [[nodiscard]] const SheetStore& Selected() const {
        return m_sheets[static_cast<std::size_t>(m_selected - 1)];
    }
    [[nodiscard]] const SheetStore& SheetAt(int sheet) const {
        return m_sheets[static_cast<std::size_t>(sheet - 1)];
    }
    [[nodiscard]] static SheetStore NewSheet(int number);
    [[nodiscard]] static const QString* Find(const SheetStore& sheet, int row, int col);
    static bool Store(SheetStore& sheet, int row, int col, const QString& text);

    std::vector<SheetStore> m_sheets;
    int m_selected = 1;
    bool m_modified = false;
    quint64 m_changes = 0;
};

}  // namespace harvel
