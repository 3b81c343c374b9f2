#pragma once

#include "platform/Interaction.h"

namespace harvel {

// The interaction of the running program: Qt message boxes, file dialogs and beeps.
// Modal boxes run a nested event loop, so impulses keep arriving while one is open.
class QtInteraction final : public Interaction {
public:
    void Beep(BeepKind kind) override;
    MessageResult MessageBox(const QString& text, const QString& caption, MessageButtons buttons,
                             MessageIcon icon) override;
    void ShowMessage(const QString& text) override;
    void ShowException(const QString& message) override;
    std::optional<QString> OpenFileName(QWidget* parent, const FileDialogOptions& options) override;
    std::optional<QString> SaveFileName(QWidget* parent, const FileDialogOptions& options) override;
    int ShowModal(QDialog& dialog) override;
};

}  // namespace harvel
