#include "platform/QtInteraction.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <memory>

namespace harvel {
namespace {

QWidget* ActiveWindow() {
    return QApplication::activeWindow();
}

QFileDialog* MakeFileDialog(QWidget* parent, const FileDialogOptions& options) {
    auto* dialog = new QFileDialog(parent ? parent : ActiveWindow(), options.title, options.folder);
    dialog->setNameFilters(options.filters);
    if (!options.fileName.isEmpty()) {
        dialog->selectFile(options.fileName);
    }
    dialog->setDefaultSuffix(options.defaultSuffix);
    return dialog;
}

}  // namespace

void QtInteraction::Beep(BeepKind) {
    QApplication::beep();
}

MessageResult QtInteraction::MessageBox(const QString& text, const QString& caption,
                                        MessageButtons buttons, MessageIcon icon) {
    QMessageBox box(ActiveWindow());
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MessageIcon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
    }
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? MessageResult::Yes : MessageResult::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageResult::Ok;
}

void QtInteraction::ShowMessage(const QString& text) {
    QMessageBox box(ActiveWindow());
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void QtInteraction::ShowException(const QString& message) {
    QMessageBox box(ActiveWindow());
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setIcon(QMessageBox::Critical);
    box.setText(message);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

std::optional<QString> QtInteraction::OpenFileName(QWidget* parent,
                                                   const FileDialogOptions& options) {
    std::unique_ptr<QFileDialog> dialog(MakeFileDialog(parent, options));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog->selectedFiles().constFirst();
}

std::optional<QString> QtInteraction::SaveFileName(QWidget* parent,
                                                   const FileDialogOptions& options) {
    std::unique_ptr<QFileDialog> dialog(MakeFileDialog(parent, options));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    // Replacing the file is what a save of the same table is for: no question.
    dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog->selectedFiles().constFirst();
}

int QtInteraction::ShowModal(QDialog& dialog) {
    return dialog.exec();
}

}  // namespace harvel
