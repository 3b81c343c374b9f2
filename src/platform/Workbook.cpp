#include "platform/Workbook.h"

#include <algorithm>

#include "platform/XlsFile.h"

namespace harvel {
namespace {

// The first cell of a row at or after `col` (cells are sorted by column).
template <typename Cells>
auto CellPosition(Cells& cells, int col) {
    return std::lower_bound(cells.begin(), cells.end(), col,
                            [](const auto& cell, int c) { return cell.col < c; });
}

QString RangeText(const char* what, int value, int last) {
    return QStringLiteral("%1 %2 is outside 1..%3").arg(QLatin1String(what)).arg(value).arg(last);
}

}  // namespace

Workbook::Workbook(QObject* parent) : QObject(parent) {
    m_sheets.push_back(NewSheet(1));
}

Workbook::SheetStore Workbook::NewSheet(int number) {
    SheetStore sheet;
    sheet.name = QStringLiteral("Sheet%1").arg(number);
    return sheet;
}

QString Workbook::ColumnLetters(int col) {
    QString letters;
    for (int n = col; n > 0; n = (n - 1) / 26) {
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    }
    return letters;
}

void Workbook::CheckCell(int row, int col) const {
    if (row < 1 || row > kMaxRow) {
        throw GridError(RangeText("Row", row, kMaxRow).toStdString());
    }
    CheckCol(col);
}

void Workbook::CheckCol(int col) const {
    if (col < 1 || col > kMaxCol) {
        throw GridError(RangeText("Column", col, kMaxCol).toStdString());
    }
}

void Workbook::CheckSheet(int sheet) const {
    if (sheet < 1 || sheet > NumSheets()) {
        throw GridError(RangeText("Sheet", sheet, NumSheets()).toStdString());
    }
}

void Workbook::SetSheet(int sheet) {
    CheckSheet(sheet);
    if (sheet != m_selected) {
        m_selected = sheet;
        emit selectedSheetChanged(sheet);
    }
}

void Workbook::InsertSheets(int position, int count) {
    if (position < 1 || position > NumSheets() + 1 || count < 0) {
        throw GridError(RangeText("Sheet", position, NumSheets() + 1).toStdString());
    }
    std::vector<SheetStore> added;
    for (int i = 0; i < count; ++i) {
        added.push_back(NewSheet(NumSheets() + i + 1));
    }
    m_sheets.insert(m_sheets.begin() + (position - 1), std::make_move_iterator(added.begin()),
                    std::make_move_iterator(added.end()));
    if (count > 0) {
        if (m_selected >= position) {
            m_selected += count;
        }
        emit sheetsChanged();
    }
}

void Workbook::DeleteSheets(int position, int count) {
    CheckSheet(position);
    if (count < 0 || position + count - 1 > NumSheets() || count >= NumSheets()) {
        throw GridError("Cannot delete these sheets: a workbook keeps at least one");
    }
    if (count == 0) {
        return;
    }
    m_sheets.erase(m_sheets.begin() + (position - 1), m_sheets.begin() + (position - 1 + count));
    if (m_selected >= position + count) {
        m_selected -= count;
    } else if (m_selected >= position) {
        m_selected = std::min(position, NumSheets());
    }
    m_modified = true;
    ++m_changes;
    emit sheetsChanged();
}

void Workbook::ResetSheets(int count) {
    m_sheets.clear();
    for (int i = 1; i <= std::max(1, count); ++i) {
        m_sheets.push_back(NewSheet(i));
    }
    m_selected = 1;
    emit sheetsChanged();
}

void Workbook::set_SheetName(int sheet, const QString& name) {
    CheckSheet(sheet);
    m_sheets[static_cast<std::size_t>(sheet - 1)].name = name;
    emit sheetsChanged();
}

QString Workbook::SheetName(int sheet) const {
    CheckSheet(sheet);
    return SheetAt(sheet).name;
}

void Workbook::set_ColText(int col, const QString& text) {
    CheckCol(col);
    auto& headings = Selected().headings;
    if (headings.size() < static_cast<std::size_t>(col)) {
        headings.resize(static_cast<std::size_t>(col));
    }
    headings[static_cast<std::size_t>(col - 1)] = text;
    emit headingChanged(m_selected, col);
}

QString Workbook::ColText(int col) const {
    return HeadingAt(m_selected, col);
}

QString Workbook::HeadingAt(int sheet, int col) const {
    CheckSheet(sheet);
    CheckCol(col);
    const auto& headings = SheetAt(sheet).headings;
    if (static_cast<std::size_t>(col) <= headings.size() &&
        !headings[static_cast<std::size_t>(col - 1)].isEmpty()) {
        return headings[static_cast<std::size_t>(col - 1)];
    }
    return ColumnLetters(col);
}

void Workbook::set_ColWidth(int col, int width) {
    CheckCol(col);
    if (width < 0 || width > 255 * 256) {
        throw GridError("Column width is outside 0..65280");
    }
    auto& widths = Selected().widths;
    if (widths.size() < static_cast<std::size_t>(col)) {
        widths.resize(static_cast<std::size_t>(col), kDefaultColWidth);
    }
    widths[static_cast<std::size_t>(col - 1)] = width;
    emit widthChanged(m_selected, col);
}

int Workbook::ColWidth(int col) const {
    return WidthAt(m_selected, col);
}

int Workbook::WidthAt(int sheet, int col) const {
    CheckSheet(sheet);
    CheckCol(col);
    const auto& widths = SheetAt(sheet).widths;
    return static_cast<std::size_t>(col) <= widths.size()
               ? widths[static_cast<std::size_t>(col - 1)]
               : kDefaultColWidth;
}

const QString* Workbook::Find(const SheetStore& sheet, int row, int col) {
    if (static_cast<std::size_t>(row) > sheet.rows.size()) {
        return nullptr;
    }
    const auto& cells = sheet.rows[static_cast<std::size_t>(row - 1)];
    const auto it = CellPosition(cells, col);
    return (it != cells.end() && it->col == col) ? &it->entry : nullptr;
}

bool Workbook::Store(SheetStore& sheet, int row, int col, const QString& text) {
    if (text.isEmpty()) {
        if (static_cast<std::size_t>(row) > sheet.rows.size()) {
            return false;
        }
        auto& cells = sheet.rows[static_cast<std::size_t>(row - 1)];
        const auto it = CellPosition(cells, col);
        if (it == cells.end() || it->col != col) {
            return false;
        }
        cells.erase(it);
        return true;
    }
    if (sheet.rows.size() < static_cast<std::size_t>(row)) {
        sheet.rows.resize(static_cast<std::size_t>(row));
    }
    auto& cells = sheet.rows[static_cast<std::size_t>(row - 1)];
    const auto it = CellPosition(cells, col);
    if (it != cells.end() && it->col == col) {
        it->entry = text;
    } else {
        cells.insert(it, Cell{col, text});
    }
    return true;
}

void Workbook::set_TextRC(int row, int col, const QString& text) {
    CheckCell(row, col);
    Store(Selected(), row, col, text);
    m_modified = true;
    ++m_changes;
    emit cellChanged(m_selected, row, col);
}

void Workbook::SetTextAt(int sheet, int row, int col, const QString& text) {
    CheckSheet(sheet);
    CheckCell(row, col);
    Store(m_sheets[static_cast<std::size_t>(sheet - 1)], row, col, text);
    m_modified = true;
    ++m_changes;
    emit cellChanged(sheet, row, col);
}

QString Workbook::TextAt(int sheet, int row, int col) const {
    CheckSheet(sheet);
    CheckCell(row, col);
    const QString* entry = Find(SheetAt(sheet), row, col);
    if (entry == nullptr) {
        return {};
    }
    // A leading apostrophe marks an entry typed as text; it is not shown.
    return entry->startsWith(u'\'') ? entry->mid(1) : *entry;
}

QString Workbook::EntryAt(int sheet, int row, int col) const {
    CheckSheet(sheet);
    CheckCell(row, col);
    const QString* entry = Find(SheetAt(sheet), row, col);
    return entry != nullptr ? *entry : QString();
}

QString Workbook::get_EntryRC(int row, int col) const {
    return EntryAt(m_selected, row, col);
}

QString Workbook::get_TextRC(int row, int col) const {
    return TextAt(m_selected, row, col);
}

double Workbook::get_NumberRC(int row, int col) const {
    CheckCell(row, col);
    const QString* entry = Find(Selected(), row, col);
    if (entry == nullptr) {
        return 0.0;
    }
    bool ok = false;
    const double value = entry->trimmed().toDouble(&ok);
    return ok ? value : 0.0;
}

void Workbook::ClearRange(int row1, int col1, int row2, int col2, int /*clearType*/) {
    CheckCell(row1, col1);
    CheckCell(row2, col2);
    auto& sheet = Selected();
    const int lastRow = std::min(row2, static_cast<int>(sheet.rows.size()));
    if (row1 == 1 && col1 == 1 && row2 == kMaxRow && col2 == kMaxCol) {
        const bool hadCells = LastRow(m_selected) > 0;
        sheet.rows.clear();
        sheet.rows.shrink_to_fit();
        if (hadCells) {
            m_modified = true;
            ++m_changes;
        }
        emit sheetCleared(m_selected);
        return;
    }
    for (int row = row1; row <= lastRow; ++row) {
        auto& cells = sheet.rows[static_cast<std::size_t>(row - 1)];
        const auto before = cells.size();
        std::erase_if(cells,
                      [&](const Cell& cell) { return cell.col >= col1 && cell.col <= col2; });
        if (cells.size() != before) {
            m_modified = true;
            ++m_changes;
        }
    }
    emit sheetCleared(m_selected);
}

WorkbookData Workbook::Snapshot() const {
    WorkbookData data;
    for (const SheetStore& sheet : m_sheets) {
        SheetData out;
        out.name = sheet.name;
        for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
            for (const Cell& cell : sheet.rows[r]) {
                out.cells.push_back({static_cast<int>(r) + 1, cell.col, cell.entry});
            }
        }
        out.widths = sheet.widths;
        data.sheets.push_back(std::move(out));
    }
    return data;
}

void Workbook::Replace(const WorkbookData& data) {
    std::vector<SheetStore> sheets;
    for (const SheetData& in : data.sheets) {
        SheetStore sheet;
        sheet.name = in.name;
        for (const auto& cell : in.cells) {
            if (cell.row >= 1 && cell.row <= kMaxRow && cell.col >= 1 && cell.col <= kMaxCol) {
                Store(sheet, cell.row, cell.col, cell.text);
            }
        }
        sheet.widths = in.widths;
        sheets.push_back(std::move(sheet));
    }
    if (sheets.empty()) {
        sheets.push_back(NewSheet(1));
    }
    m_sheets = std::move(sheets);
    m_selected = 1;
    emit sheetsChanged();
}

void Workbook::Write(const QString& path, int fileType) {
    if (fileType != kFileTypeExcel97) {
        throw XlsError("Only Excel workbooks (file type 11) are written");
    }
    WriteXls(Snapshot(), path);
}

int Workbook::ReadEx(const QString& path) {
    int fileType = kFileTypeUnreadable;
    try {
        Replace(ReadXls(path, &fileType));
    } catch (const XlsError&) {
        return kFileTypeUnreadable;
    }
    return fileType;
}

int Workbook::LastRow(int sheet) const {
    CheckSheet(sheet);
    const auto& rows = SheetAt(sheet).rows;
    for (auto r = rows.size(); r > 0; --r) {
        if (!rows[r - 1].empty()) {
            return static_cast<int>(r);
        }
    }
    return 0;
}

int Workbook::LastCol(int sheet) const {
    CheckSheet(sheet);
    int last = 0;
    for (const auto& cells : SheetAt(sheet).rows) {
        if (!cells.empty()) {
            last = std::max(last, cells.back().col);
        }
    }
    return last;
}

}  // namespace harvel
