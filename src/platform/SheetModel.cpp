#include "platform/SheetModel.h"

#include "platform/Workbook.h"

namespace harvel {

SheetModel::SheetModel(Workbook* book, QObject* parent)
    : QAbstractTableModel(parent), m_book(book) {
    connect(book, &Workbook::cellChanged, this, &SheetModel::OnCellChanged);
    connect(book, &Workbook::sheetCleared, this, &SheetModel::OnSheetCleared);
    connect(book, &Workbook::headingChanged, this, &SheetModel::OnHeadingChanged);
    connect(book, &Workbook::sheetsChanged, this, &SheetModel::OnSheetsChanged);
}

void SheetModel::SetShownSheet(int sheet) {
    if (sheet == m_sheet) {
        return;
    }
    beginResetModel();
    m_sheet = sheet;
    endResetModel();
}

int SheetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Workbook::kMaxRow;
}

int SheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Workbook::kMaxCol;
}

QVariant SheetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || m_sheet > m_book->NumSheets()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return m_book->TextAt(m_sheet, index.row() + 1, index.column() + 1);
    }
    if (role == Qt::EditRole) {
        return m_book->EntryAt(m_sheet, index.row() + 1, index.column() + 1);
    }
    return {};
}

bool SheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || m_sheet > m_book->NumSheets()) {
        return false;
    }
    // The workbook's cellChanged signal reports the change back as dataChanged.
    m_book->SetTextAt(m_sheet, index.row() + 1, index.column() + 1, value.toString());
    return true;
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        return section + 1;
    }
    if (m_sheet > m_book->NumSheets()) {
        return Workbook::ColumnLetters(section + 1);
    }
    return m_book->HeadingAt(m_sheet, section + 1);
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

void SheetModel::OnCellChanged(int sheet, int row, int col) {
    if (sheet == m_sheet) {
        const QModelIndex cell = index(row - 1, col - 1);
        emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::EditRole});
    }
}

void SheetModel::OnSheetCleared(int sheet) {
    if (sheet == m_sheet) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
}

void SheetModel::OnHeadingChanged(int sheet, int col) {
    if (sheet == m_sheet) {
        emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
    }
}

void SheetModel::OnSheetsChanged() {
    beginResetModel();
    if (m_sheet > m_book->NumSheets()) {
        m_sheet = m_book->NumSheets();
    }
    endResetModel();
}

}  // namespace harvel
