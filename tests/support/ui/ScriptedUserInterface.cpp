#include "tests/support/ui/ScriptedUserInterface.h"

#include <gtest/gtest.h>

#include "platform/ui/ApplicationObject.h"

namespace ui {

namespace {

template <class T>
std::optional<T> TakeFront(std::deque<T>& queue)
{
    if (queue.empty()) return std::nullopt;
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}

}  // namespace

int ScriptedUserInterface::MessageBox(QWidget* parent, const std::string& Text, const std::string& Caption,
                                      MsgIcon Icon, unsigned Buttons)
{
    Messages.push_back({Text, Caption, Icon, Buttons, OwnerOf(parent)});
    if (Buttons == mbOK || Buttons == 0) return idOK;
    if (const std::optional<int> answer = TakeFront(Answers)) return *answer;
    ADD_FAILURE() << "unscripted question: " << Text;
    return (Buttons & mbCancel) ? idCancel : (Buttons & mbNo) ? idNo : idOK;
}

std::optional<std::string> ScriptedUserInterface::OpenFileName(QWidget*, const FileDialogOptions& Options)
{
    FileDialogs.push_back(Options);
    if (std::optional<std::optional<std::string>> name = TakeFront(FileNames)) return *name;
    ADD_FAILURE() << "unscripted open dialog: " << Options.Title;
    return std::nullopt;
}

std::optional<std::string> ScriptedUserInterface::SaveFileName(QWidget*, const FileDialogOptions& Options)
{
    FileDialogs.push_back(Options);
    if (std::optional<std::optional<std::string>> name = TakeFront(FileNames)) return *name;
    ADD_FAILURE() << "unscripted save dialog: " << Options.Title;
    return std::nullopt;
}

bool ScriptedUserInterface::OpenDocument(const std::string& PathOrUrl)
{
    Documents.push_back(PathOrUrl);
    return true;
}

bool ScriptedUserInterface::ShowHelp(const std::string&, int Context)
{
    HelpTopics.push_back(Context);
    return true;
}

ScopedScriptedUi::ScopedScriptedUi()
{
    auto scripted = std::make_unique<ScriptedUserInterface>();
    scripted_ = scripted.get();
    previous_ = SetUserInterface(std::move(scripted));
}

ScopedScriptedUi::~ScopedScriptedUi()
{
    SetUserInterface(std::move(previous_));
}

}  // namespace ui
