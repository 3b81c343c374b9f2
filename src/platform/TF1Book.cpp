#include "platform/TF1Book.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "platform/SheetModel.h"
#include "platform/Workbook.h"

namespace harvel {

TF1Book::TF1Book(QWidget* parent)
    : QWidget(parent),
      m_book(new Workbook(this)),
      m_model(new SheetModel(m_book, this)),
      m_editBar(new QLineEdit(this)),
      m_view(new QTableView(this)),
      m_tabs(new QTabBar(this)) {
    m_editBar->setObjectName(QStringLiteral("EditBar"));
    m_view->setObjectName(QStringLiteral("GridView"));
    m_tabs->setObjectName(QStringLiteral("SheetTabs"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_editBar);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_tabs);
    m_editBar->hide();

    m_view->setModel(m_model);
    // Fixed section sizes keep 65536 rows as cheap as 10.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    m_tabs->setShape(QTabBar::RoundedSouth);
    m_tabs->setExpanding(false);

    connect(m_book, &Workbook::selectedSheetChanged, this, &TF1Book::ScheduleSync);
    connect(m_book, &Workbook::sheetsChanged, this, [this] {
        RebuildTabs();
        ScheduleSync();
        ApplyColumnWidths();
    });
    connect(m_book, &Workbook::widthChanged, this, [this](int sheet, int col) {
        if (sheet == m_model->ShownSheet()) {
            ApplyColumnWidth(col);
        }
    });
    connect(m_book, &Workbook::cellChanged, this, [this](int sheet, int row, int col) {
        if (sheet == m_model->ShownSheet() && ActiveCellOf(sheet) == QPoint(col, row)) {
            UpdateEditBar();
        }
    });
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (!m_updatingTabs && index >= 0) {
            m_book->SetSheet(index + 1);
            SyncShownSheet();
        }
    });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    m_activeCells[m_model->ShownSheet()] =
                        QPoint(current.column() + 1, current.row() + 1);
                    UpdateEditBar();
                }
            });
    connect(m_editBar, &QLineEdit::returnPressed, this, &TF1Book::CommitEditBar);

    RebuildTabs();
    ApplyColumnWidths();
}

TF1Book::~TF1Book() = default;

void TF1Book::ScheduleSync() {
    if (m_syncPending) {
        return;
    }
    m_syncPending = true;
    QTimer::singleShot(0, this, &TF1Book::SyncShownSheet);
}

void TF1Book::SyncShownSheet() {
    m_syncPending = false;
    const int selected = m_book->Sheet();
    if (selected == m_model->ShownSheet() && m_tabs->currentIndex() == selected - 1) {
        return;  // selected and restored within one event: nothing to redraw
    }
    if (selected != m_model->ShownSheet()) {
        m_model->SetShownSheet(selected);
        ApplyColumnWidths();
    }
    m_updatingTabs = true;
    m_tabs->setCurrentIndex(selected - 1);
    m_updatingTabs = false;
    const QPoint active = ActiveCellOf(selected);
    m_view->setCurrentIndex(m_model->index(active.y() - 1, active.x() - 1));
    UpdateEditBar();
}

void TF1Book::RebuildTabs() {
    m_updatingTabs = true;
    while (m_tabs->count() > m_book->NumSheets()) {
        m_tabs->removeTab(m_tabs->count() - 1);
    }
    for (int sheet = 1; sheet <= m_book->NumSheets(); ++sheet) {
        if (sheet > m_tabs->count()) {
            m_tabs->addTab(m_book->SheetName(sheet));
        } else {
            m_tabs->setTabText(sheet - 1, m_book->SheetName(sheet));
        }
    }
    m_tabs->setCurrentIndex(m_model->ShownSheet() - 1);
    m_updatingTabs = false;
}

void TF1Book::ApplyColumnWidth(int col) {
    // Width unit: 1/256 of the width of a digit in the grid's font.
    const int digit = m_view->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int pixels = m_book->WidthAt(m_model->ShownSheet(), col) * digit / 256 + 6;
    m_view->setColumnWidth(col - 1, pixels);
}

void TF1Book::ApplyColumnWidths() {
    if (m_model->ShownSheet() > m_book->NumSheets()) {
        return;
    }
    for (int col = 1; col <= Workbook::kMaxCol; ++col) {
        ApplyColumnWidth(col);
    }
}

void TF1Book::GetActiveCell(int& row, int& col) const {
    row = Row();
    col = Col();
}

QPoint TF1Book::ActiveCellOf(int sheet) const {
    const auto it = m_activeCells.find(sheet);
    return it != m_activeCells.end() ? it->second : QPoint(1, 1);
}

int TF1Book::Row() const {
    return ActiveCellOf(m_book->Sheet()).y();
}

int TF1Book::Col() const {
    return ActiveCellOf(m_book->Sheet()).x();
}

void TF1Book::SetActiveCell(int row, int col) {
    if (row < 1 || row > Workbook::kMaxRow || col < 1 || col > Workbook::kMaxCol) {
        throw GridError("Active cell outside the sheet");
    }
    m_activeCells[m_book->Sheet()] = QPoint(col, row);
    if (m_book->Sheet() == m_model->ShownSheet()) {
        m_view->setCurrentIndex(m_model->index(row - 1, col - 1));
    }
    UpdateEditBar();
}

void TF1Book::ShowActiveCell() {
    if (m_book->Sheet() == m_model->ShownSheet()) {
        m_view->scrollTo(m_model->index(Row() - 1, Col() - 1));
    }
}

void TF1Book::ShowEditBar(bool show) {
    m_editBar->setVisible(show);
}

bool TF1Book::EditBarShown() const {
    return !m_editBar->isHidden();
}

void TF1Book::UpdateEditBar() {
    const int sheet = m_model->ShownSheet();
    if (sheet > m_book->NumSheets()) {
        return;
    }
    const QPoint active = ActiveCellOf(sheet);
    m_editBar->setText(m_book->EntryAt(sheet, active.y(), active.x()));
}

void TF1Book::CommitEditBar() {
    const int sheet = m_model->ShownSheet();
    const QPoint active = ActiveCellOf(sheet);
    m_book->SetTextAt(sheet, active.y(), active.x(), m_editBar->text());
    m_view->setFocus();
}

TF1Book::Block TF1Book::SelectedBlock() const {
    const QModelIndexList selected = m_view->selectionModel()->selectedIndexes();
    const QModelIndex current = m_view->currentIndex();
    Block block;
    if (selected.isEmpty()) {
        block.top = block.bottom = current.isValid() ? current.row() + 1 : 1;
        block.left = block.right = current.isValid() ? current.column() + 1 : 1;
        return block;
    }
    block.top = block.left = std::numeric_limits<int>::max();
    block.bottom = block.right = 0;
    for (const QModelIndex& index : selected) {
        block.top = std::min(block.top, index.row() + 1);
        block.bottom = std::max(block.bottom, index.row() + 1);
        block.left = std::min(block.left, index.column() + 1);
        block.right = std::max(block.right, index.column() + 1);
    }
    return block;
}

void TF1Book::EditCopy() {
    const Block block = SelectedBlock();
    const int sheet = m_model->ShownSheet();
    QString text;
    for (int row = block.top; row <= block.bottom; ++row) {
        for (int col = block.left; col <= block.right; ++col) {
            if (col > block.left) {
                text += u'\t';
            }
            text += m_book->TextAt(sheet, row, col);
        }
        text += u'\n';
    }
    QApplication::clipboard()->setText(text);
}

void TF1Book::EditCut() {
    EditCopy();
    const Block block = SelectedBlock();
    const int sheet = m_model->ShownSheet();
    for (int row = block.top; row <= block.bottom; ++row) {
        for (int col = block.left; col <= block.right; ++col) {
            if (!m_book->EntryAt(sheet, row, col).isEmpty()) {
                m_book->SetTextAt(sheet, row, col, QString());
            }
        }
    }
}

void TF1Book::EditPaste() {
    QString text = QApplication::clipboard()->text();
    if (text.isEmpty()) {
        return;
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.endsWith(u'\n')) {
        text.chop(1);
    }
    const Block block = SelectedBlock();
    const int sheet = m_model->ShownSheet();
    const QStringList lines = text.split(u'\n');
    // What would fall outside the sheet is left out rather than wrapped elsewhere.
    for (qsizetype r = 0; r < lines.size() && block.top + r <= Workbook::kMaxRow; ++r) {
        const QStringList cells = lines[r].split(u'\t');
        for (qsizetype c = 0; c < cells.size() && block.left + c <= Workbook::kMaxCol; ++c) {
            const int row = block.top + static_cast<int>(r);
            const int col = block.left + static_cast<int>(c);
            if (m_book->EntryAt(sheet, row, col) != cells[c]) {
                m_book->SetTextAt(sheet, row, col, cells[c]);
            }
        }
    }
}

void TF1Book::ClearClipboard() {
    QApplication::clipboard()->clear();
}

}  // namespace harvel
