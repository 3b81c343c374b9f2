// The main window's table commands: files, autosave and clearing.
#include <QAction>
#include <QEventLoop>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <exception>

#include "app/ImpulsePlacement.h"
#include "app/Unit1.h"
#include "platform/Interaction.h"
#include "platform/TF1Book.h"
#include "platform/Workbook.h"
#include "platform/XlsFile.h"

namespace harvel {
namespace {

const QStringList kExcelFilter{QStringLiteral("Excel Files (*.xls)")};

}  // namespace

void TForm1::WriteWorkbook(const QString& path) {
    Workbook& book = m_backup->Book();
    const quint64 changesBefore = book.ChangeCount();
    const WorkbookData snapshot = book.Snapshot();
    // The file is written apart; impulses and the user go on meanwhile.
    std::exception_ptr failure;
    QFutureWatcher<void> watcher;
    QEventLoop loop;
    connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run([&snapshot, &path, &failure] {
        try {
            WriteXls(snapshot, path);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    if (!watcher.isFinished()) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    watcher.waitForFinished();
    if (failure) {
        std::rethrow_exception(failure);
    }
    // Whatever changed while the file was written is not in it: keep it marked.
    if (book.ChangeCount() == changesBefore) {
        book.SetModified(false);
    }
}

void TForm1::Save1Click() {
    if (m_fileName.isEmpty()) {
        SaveasClick();
        return;
    }
    if (m_saving) {
        return;  // the running save writes the table; what changes after it stays marked
    }
    m_saving = true;
    bool saved = false;
    try {
        WriteWorkbook(m_fileName);
        saved = QFileInfo::exists(m_fileName);
    } catch (const std::exception&) {
        saved = false;
    }
    m_saving = false;
    if (!saved) {
        QAction* autosave = Action("Autosave1");
        if (autosave->isChecked()) {
            autosave->setChecked(false);
            Autosave1Click();
        }
        m_backup->Book().SetModified(true);
        Ui().MessageBox(ComText(32), ComText(33), MessageButtons::Ok, MessageIcon::None);
    }
}

void TForm1::SaveasClick() {
    FileDialogOptions options;
    options.folder = m_reg->GetPersonalFolder();
    options.filters = kExcelFilter;
    options.defaultSuffix = QStringLiteral("xls");
    const auto chosen = Ui().SaveFileName(this, options);
    if (!chosen) {
        return;
    }
    m_fileName = *chosen;
    if (QFileInfo(m_fileName).suffix().isEmpty()) {
        m_fileName += QStringLiteral(".xls");
    }
    m_saving = true;
    try {
        WriteWorkbook(m_fileName);
    } catch (...) {
        m_saving = false;
        throw;  // to whoever called: the exception dialog for the menu and the timer
    }
    m_saving = false;
}

void TForm1::Autosave1Click() {
    if (Action("Autosave1")->isChecked()) {
        m_autoSaveTimer->start();
    } else {
        m_autoSaveTimer->stop();
    }
}

void TForm1::AutoSaveTimerTimer() {
    if (!m_backup->Book().Modified() || m_saving) {
        return;
    }
    m_autoSaveTimer->stop();
    Save1Click();
    if (Action("Autosave1")->isChecked()) {
        m_autoSaveTimer->start();
    }
}

void TForm1::open1Click() {
    FileDialogOptions options;
    options.folder = m_reg->GetPersonalFolder();
    options.fileName = m_fileName;
    options.filters = kExcelFilter;
    const auto chosen = Ui().OpenFileName(this, options);
    if (!chosen) {
        return;
    }
    try {
        m_fileName = *chosen;
        Workbook& book = m_backup->Book();
        if (book.ReadEx(m_fileName) == kFileTypeUnreadable) {
            throw XlsError("not a readable workbook");
        }
        m_backup->ShowEditBar(true);
        if (book.NumSheets() < 2) {
            book.InsertSheets(2, 1);
            book.set_SheetName(1, ComText(7));
        }
        WriteColumnHeaders();
        RepositionAfterOpen();
    } catch (const std::exception&) {
        Ui().MessageBox(ComText(9), ComText(20), MessageButtons::Ok, MessageIcon::None);
    }
}

void TForm1::RepositionAfterOpen() {
    Workbook& book = m_backup->Book();
    // The log goes on at the first row whose five cells are all empty.
    m_table.LastDetectionRow = 1;
    book.SetSheet(kLogSheet);
    const auto logRowFilled = [&](int row) {
        for (int col = 1; col <= 5; ++col) {
            if (!book.get_TextRC(row, col).isEmpty())
                return true;
        }
        return false;
    };
    while (m_table.LastDetectionRow <= book.MaxRow() && logRowFilled(m_table.LastDetectionRow)) {
        ++m_table.LastDetectionRow;
    }
    m_backup->SetActiveCell(std::min(m_table.LastDetectionRow, book.MaxRow()), 1);
    m_backup->ShowActiveCell();

    // The pairing goes on at the first row r where columns 1..m are empty in r and r + 1.
    const int m =
        std::clamp(*std::max_element(m_table.ChannelColumn.begin(), m_table.ChannelColumn.end()), 1,
                   book.MaxCol());
    book.SetSheet(kPairingSheet);
    m_table.DayTimeRow = 1;
    const auto filled = [&](int row, int col) {
        return row <= book.MaxRow() && !book.get_TextRC(row, col).isEmpty();
    };
    for (bool moved = true; moved && m_table.DayTimeRow <= book.MaxRow();) {
        moved = false;
        for (int col = 1; col <= m; ++col) {
            if (filled(m_table.DayTimeRow, col)) {
                ++m_table.DayTimeRow;
                moved = true;
                break;
            }
            if (filled(m_table.DayTimeRow + 1, col)) {
                m_table.DayTimeRow += 2;
                moved = true;
                break;
            }
        }
    }
    m_backup->SetActiveCell(std::min(m_table.DayTimeRow, book.MaxRow()), 1);
    m_backup->ShowActiveCell();
}

void TForm1::ClearTable1Click() {
    if (Ui().MessageBox(ComText(14), ComText(15), MessageButtons::YesNo, MessageIcon::Question) !=
        MessageResult::Yes) {
        return;
    }
    try {
        Workbook& book = m_backup->Book();
        const int remembered = book.Sheet();
        m_table.ResetCounters();
        for (const int sheet : {kPairingSheet, kLogSheet}) {
            book.SetSheet(sheet);
            m_backup->SetActiveCell(1, 1);
            m_backup->ShowActiveCell();
            book.ClearRange(1, 1, book.MaxRow(), book.MaxCol(), 1);
        }
        book.SetSheet(remembered);
    } catch (const std::exception&) {
        Ui().ShowMessage(QStringLiteral("Could not clear Table"));
    }
}

}  // namespace harvel
