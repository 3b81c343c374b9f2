#pragma once

#include <QAbstractTableModel>

namespace harvel {

class Workbook;

// One sheet of a workbook as a table model; the view never holds cell data itself.
class SheetModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit SheetModel(Workbook* book, QObject* parent = nullptr);

    [[nodiscard]] int ShownSheet() const { return m_sheet; }
    void SetShownSheet(int sheet);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void OnCellChanged(int sheet, int row, int col);
    void OnSheetCleared(int sheet);
    void OnHeadingChanged(int sheet, int col);
    void OnSheetsChanged();

    Workbook* m_book;
    int m_sheet = 1;
};

}  // namespace harvel
