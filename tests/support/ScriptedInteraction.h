#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <vector>

#include "platform/Interaction.h"

namespace harvel::test {

// Records every call with its texts and answers from queues, so that a test can script
// "answer No, then Yes" and check what the user would have been shown. Installed for its
// lifetime.
class ScriptedInteraction final : public Interaction {
public:
    struct Box {
        QString text;
        QString caption;
        MessageButtons buttons;
        MessageIcon icon;
    };

    ScriptedInteraction() : m_previous(SetUi(this)) {}
    ~ScriptedInteraction() override { SetUi(m_previous); }

    void Beep(BeepKind kind) override { beeps.push_back(kind); }
    MessageResult MessageBox(const QString& text, const QString& caption, MessageButtons buttons,
                             MessageIcon icon) override {
        boxes.push_back({text, caption, buttons, icon});
        if (onBox) {
            onBox();
        }
        if (answers.empty()) {
            return buttons == MessageButtons::YesNo ? MessageResult::No : MessageResult::Ok;
        }
        const MessageResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowMessage(const QString& text) override { messages.push_back(text); }
    void ShowException(const QString& message) override { exceptions.push_back(message); }
    std::optional<QString> OpenFileName(QWidget*, const FileDialogOptions& options) override {
        openDialogs.push_back(options);
        return Next(openAnswers);
    }
    std::optional<QString> SaveFileName(QWidget*, const FileDialogOptions& options) override {
        saveDialogs.push_back(options);
        return Next(saveAnswers);
    }
    int ShowModal(QDialog& dialog) override {
        modals.push_back(&dialog);
        if (onModal) {
            return onModal(dialog);
        }
        return 0;
    }

    std::vector<BeepKind> beeps;
    std::vector<Box> boxes;
    std::vector<QString> messages;
    std::vector<QString> exceptions;
    std::vector<FileDialogOptions> openDialogs;
    std::vector<FileDialogOptions> saveDialogs;
    std::vector<QDialog*> modals;

    std::deque<MessageResult> answers;
    std::deque<std::optional<QString>> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::function<void()> onBox;           // runs while a box "is open"
    std::function<int(QDialog&)> onModal;  // plays the user in a modal dialog

private:
    static std::optional<QString> Next(std::deque<std::optional<QString>>& queue) {
        if (queue.empty()) {
            return std::nullopt;
        }
        auto answer = queue.front();
        queue.pop_front();
        return answer;
    }

    Interaction* m_previous;
};

}  // namespace harvel::test
