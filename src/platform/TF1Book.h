#pragma once

#include <QPoint>
#include <QWidget>
#include <map>

class QLineEdit;
class QTabBar;
class QTableView;

namespace harvel {

class SheetModel;
class Workbook;

// The grid widget: the edit bar, one table view over the selected sheet, and sheet tabs.
// The data live in the Workbook; the widget follows its selected sheet after the current
// event has run, so operations that select a sheet and restore it do not redraw the view.
class TF1Book : public QWidget {
    Q_OBJECT

public:
    explicit TF1Book(QWidget* parent = nullptr);
    ~TF1Book() override;

    [[nodiscard]] Workbook& Book() { return *m_book; }
    [[nodiscard]] const Workbook& Book() const { return *m_book; }
    [[nodiscard]] QTableView* View() const { return m_view; }
    [[nodiscard]] SheetModel* Model() const { return m_model; }

    // The cursor cell of the selected sheet.
    void GetActiveCell(int& row, int& col) const;
    [[nodiscard]] int Row() const;
    [[nodiscard]] int Col() const;
    void SetActiveCell(int row, int col);
    void ShowActiveCell();

    void ShowEditBar(bool show);
    [[nodiscard]] bool EditBarShown() const;

    // Clipboard work on the selection, as tab-separated lines.
    void EditCopy();
    void EditCut();
    void EditPaste();
    void ClearClipboard();

    // Character sets are a Windows font property; Qt fonts cover Unicode, so nothing to do.
    void DefaultFontCharSet(int /*charSet*/) {}

    // Makes the view show the selected sheet now instead of after the current event.
    void SyncShownSheet();

private:
    struct Block {
        int top = 1, left = 1, bottom = 1, right = 1;
    };
    [[nodiscard]] Block SelectedBlock() const;
    // (col, row) of the sheet's cursor cell, (1, 1) until one is set.
    [[nodiscard]] QPoint ActiveCellOf(int sheet) const;
    void ApplyColumnWidths();
    void ApplyColumnWidth(int col);
    void UpdateEditBar();
    void CommitEditBar();
    void RebuildTabs();
    void ScheduleSync();

    Workbook* m_book;
    SheetModel* m_model;
    QLineEdit* m_editBar;
    QTableView* m_view;
    QTabBar* m_tabs;
    std::map<int, QPoint> m_activeCells;  // sheet -> (col, row), 1-based
    bool m_syncPending = false;
    bool m_updatingTabs = false;
};

}  // namespace harvel
