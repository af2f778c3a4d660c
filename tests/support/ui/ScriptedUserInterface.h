#pragma once
// The user as a test scripts it: every message box, file dialog, document and help topic asked
// for is recorded, and the answers are taken from queues the test fills. A question without a
// scripted answer fails the test and gets the answer that changes nothing (Cancel / no file).

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/UserInterface.h"

namespace ui {

struct AskedMessage {
    std::string Text;
    std::string Caption;
    MsgIcon Icon;
    unsigned Buttons;
    /// The window that owned the box: the parent given, else the application object's handle.
    QWidget* Owner = nullptr;
};

class ScriptedUserInterface final : public UserInterface {
public:
    int MessageBox(QWidget* parent, const std::string& Text, const std::string& Caption, MsgIcon Icon,
                   unsigned Buttons) override;
    std::optional<std::string> OpenFileName(QWidget* parent, const FileDialogOptions& Options) override;
    std::optional<std::string> SaveFileName(QWidget* parent, const FileDialogOptions& Options) override;
    bool OpenDocument(const std::string& PathOrUrl) override;
    bool ShowHelp(const std::string& HelpFile, int Context) override;

    /// Answers, used in order. A box with only an OK button needs no answer.
    std::deque<int> Answers;
    std::deque<std::optional<std::string>> FileNames;

    std::vector<AskedMessage> Messages;
    std::vector<FileDialogOptions> FileDialogs;
    std::vector<std::string> Documents;
    std::vector<int> HelpTopics;
};

/// Installs a scripted user interface for the lifetime of a test and puts the previous one back.
class ScopedScriptedUi {
public:
    ScopedScriptedUi();
    ~ScopedScriptedUi();
    ScopedScriptedUi(const ScopedScriptedUi&) = delete;
    ScopedScriptedUi& operator=(const ScopedScriptedUi&) = delete;

    ScriptedUserInterface& operator*() const { return *scripted_; }
    ScriptedUserInterface* operator->() const { return scripted_; }

private:
    ScriptedUserInterface* scripted_;
    std::unique_ptr<UserInterface> previous_;
};

}  // namespace ui
