// The main window's keys: the time difference with F1, F2 and F3, and the clipboard keys.
#include <QKeyEvent>

#include "app/TimeDifference.h"
#include "app/Unit1.h"
#include "app/VirtualKeys.h"
#include "platform/Interaction.h"
#include "platform/TF1Book.h"
#include "platform/Workbook.h"
#include "tools/Ansi.h"

namespace harvel {

bool TForm1::FormShortCut(int qtKey) {
    const int key = VirtualKeyOf(qtKey);
    Workbook& book = m_backup->Book();
    int row = 1;
    int col = 1;
    bool handled = false;
    if (key == VK_F1 || key == VK_F2) {
        m_backup->GetActiveCell(row, col);
        SetPanelText(key == VK_F1 ? 1 : 3, book.get_EntryRC(row, col));
        CalculateDiff();
        handled = true;
    } else if (key == VK_F3) {
        m_backup->GetActiveCell(row, col);
        const bool write = book.get_TextRC(row, col).isEmpty() ||
                           Ui().MessageBox(ComText(30), ComText(31), MessageButtons::YesNo,
                                           MessageIcon::Question) == MessageResult::Yes;
        if (write) {
            book.set_TextRC(row, col, PanelText(5));
        }
        CalculateDiff();
        handled = true;
    } else {
        const int low = key & 0xFF;
        if (m_lastShortCutKey == VK_CONTROL && (low == 'C' || key == VK_INSERT)) {
            m_backup->ClearClipboard();
            m_backup->EditCopy();
            handled = true;
        } else if ((m_lastShortCutKey == VK_CONTROL && low == 'V') ||
                   (m_lastShortCutKey == VK_SHIFT && key == VK_INSERT)) {
            m_backup->EditPaste();
            handled = true;
        } else if ((m_lastShortCutKey == VK_CONTROL && low == 'X') ||
                   (m_lastShortCutKey == VK_SHIFT && key == VK_DELETE)) {
            m_backup->EditCut();
            handled = true;
        }
    }
    if (!handled) {
        m_lastShortCutKey = key & 0xFF;
    }
    return handled;
}

void TForm1::CalculateDiff() {
    SetPanelText(5, QString::fromLatin1(TimeDifferenceText(ToAnsi(PanelText(1)),
                                                           ToAnsi(PanelText(3)), m_separators)));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    // Every key pressed in this window comes here first, as a shortcut override: what the
    // handler takes goes neither to the menu nor to the grid.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || widget->window() != this || !isActiveWindow()) {
            return QMainWindow::eventFilter(watched, event);
        }
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::ShortcutOverride) {
            if (keyEvent->isAutoRepeat() && VirtualKeyOf(keyEvent->key()) == m_lastShortCutKey) {
                return QMainWindow::eventFilter(watched, event);
            }
            m_handledKeyPending = FormShortCut(keyEvent->key());
            if (m_handledKeyPending) {
                event->accept();  // no shortcut: the key press follows, and ends here
                return true;
            }
            return QMainWindow::eventFilter(watched, event);
        }
        if (m_handledKeyPending) {
            m_handledKeyPending = false;
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace harvel
