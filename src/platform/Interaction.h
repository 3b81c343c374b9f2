#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

namespace harvel {

enum class BeepKind { Default, Asterisk, Exclamation, Hand, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Question, Warning, Error, Information };
enum class MessageResult { Ok, Yes, No, Cancel };

struct FileDialogOptions {
    QString title;
    QString folder;         // initial folder
    QString fileName;       // initial file name
    QStringList filters;    // "Excel Files (*.xls)"
    QString defaultSuffix;  // added to a name typed without one
};

// Everything that asks or tells the user, or sounds, goes through here: the program
// uses the Qt implementation, tests a scripted one that records and answers.
class Interaction {
public:
    virtual ~Interaction() = default;

    virtual void Beep(BeepKind kind) = 0;
    // The application message box; only Yes counts as agreement.
    virtual MessageResult MessageBox(const QString& text, const QString& caption,
                                     MessageButtons buttons, MessageIcon icon) = 0;
    // A plain message with an OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // The application's exception dialog for an error that reached the event loop.
    virtual void ShowException(const QString& message) = 0;
    virtual std::optional<QString> OpenFileName(QWidget* parent,
                                                const FileDialogOptions& options) = 0;
    virtual std::optional<QString> SaveFileName(QWidget* parent,
                                                const FileDialogOptions& options) = 0;
    // Runs the dialog modally; returns its result code (QDialog::Accepted / Rejected).
    virtual int ShowModal(QDialog& dialog) = 0;
};

// The interaction in use; without one installed, a quiet one that answers No/Cancel.
[[nodiscard]] Interaction& Ui();
// Installs `interaction` (not owned) and returns the previous one; nullptr restores the
// quiet default.
Interaction* SetUi(Interaction* interaction);

}  // namespace harvel
