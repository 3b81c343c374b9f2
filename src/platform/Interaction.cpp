#include "platform/Interaction.h"

#include <cstdio>

namespace harvel {
namespace {

// Used before a window toolkit is set up: says what it would have shown on stderr and
// never agrees to anything.
class QuietInteraction final : public Interaction {
public:
    void Beep(BeepKind) override {}
    MessageResult MessageBox(const QString& text, const QString& caption, MessageButtons buttons,
                             MessageIcon) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        return buttons == MessageButtons::YesNo ? MessageResult::No : MessageResult::Ok;
    }
    void ShowMessage(const QString& text) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    void ShowException(const QString& message) override {
        std::fprintf(stderr, "Error: %s\n", qPrintable(message));
    }
    std::optional<QString> OpenFileName(QWidget*, const FileDialogOptions&) override { return {}; }
    std::optional<QString> SaveFileName(QWidget*, const FileDialogOptions&) override { return {}; }
    int ShowModal(QDialog&) override { return 0; }
};

QuietInteraction& Quiet() {
    static QuietInteraction quiet;
    return quiet;
}

Interaction* g_current = nullptr;

}  // namespace

Interaction& Ui() {
    return g_current != nullptr ? *g_current : Quiet();
}

Interaction* SetUi(Interaction* interaction) {
    Interaction* previous = g_current;
    g_current = interaction;
    return previous;
}

}  // namespace harvel
