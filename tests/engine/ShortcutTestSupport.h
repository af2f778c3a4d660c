#pragma once
// Shared by the tests of the send capture and the reimport: a sandbox for the temporary and
// the Windows folder, prompts that answer from a script, and shortcut attachments.

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/LnkTools.h"
#include "engine/ShortcutPrompts.h"
#include "jobs/SearchPathList.h"
#include "jobs/ShortcutFolders.h"
#include "platform/outlook/Outlook.h"
#include "tests/support/Maildir.h"
#include "tests/support/TempDir.h"

namespace test {

/// Points TMPDIR and TROVANTA_HOME into a fresh folder for one test and restores them.
class HomeSandbox {
public:
    HomeSandbox() : tmp_(Save("TMPDIR")), home_(Save("TROVANTA_HOME"))
    {
        std::filesystem::create_directories(dir_ / "tmp");
        std::filesystem::create_directories(dir_ / "home");
        ::setenv("TMPDIR", (dir_ / "tmp").c_str(), 1);
        ::setenv("TROVANTA_HOME", (dir_ / "home").c_str(), 1);
        // The original files lie where the system saved attachments as shortcuts before.
        std::filesystem::create_directories(Files());
        RememberShortcutFolder(Files().string());
    }
    ~HomeSandbox()
    {
        Restore("TMPDIR", tmp_);
        Restore("TROVANTA_HOME", home_);
    }
    HomeSandbox(const HomeSandbox&) = delete;
    HomeSandbox& operator=(const HomeSandbox&) = delete;

    /// A folder for original files, outside the temporary and the Windows folder, remembered
    /// as a folder into which attachments were saved.
    std::filesystem::path Files() const { return dir_ / "files"; }
    std::filesystem::path SearchPathFile() const { return dir_ / "home" / SearchPathFileName; }

private:
    struct Saved {
        bool set = false;
        std::string value;
    };
    static Saved Save(const char* name)
    {
        const char* value = std::getenv(name);
        return value ? Saved{true, value} : Saved{};
    }
    static void Restore(const char* name, const Saved& saved)
    {
        saved.set ? ::setenv(name, saved.value.c_str(), 1) : ::unsetenv(name);
    }

    Saved tmp_;
    Saved home_;
    TempDir dir_;
};

/// Answers the prompts from queues and records every question. A question without a
/// scripted answer fails the test and is answered "Cancel".
class ScriptedPrompts final : public TShortcutPrompts {
public:
    std::deque<int> confirmAnswers;
    std::deque<int> notFoundAnswers;
    /// Plays the search path editor; unset, the editor is not expected.
    std::function<bool(const std::string& defaultOrgPath, TSearchPathList& list)> editor;
    std::vector<std::string> asked;  ///< "confirm|att|org", "notfound|att|org|keep|remove", "edit|dir"

    int ConfirmReplace(const std::string& att, const std::string& org) override
    {
        asked.push_back("confirm|" + att + "|" + org);
        return Next(confirmAnswers);
    }
    int ShowFileNotFound(const std::string& att, const std::string& org, bool keep, bool remove) override
    {
        asked.push_back("notfound|" + att + "|" + org + "|" + std::to_string(keep) + "|" +
                        std::to_string(remove));
        return Next(notFoundAnswers);
    }
    bool EditSearchPaths(const std::string& dir, TSearchPathList& list) override
    {
        asked.push_back("edit|" + dir);
        if (!editor) {
            ADD_FAILURE() << "unexpected search path editor";
            return false;
        }
        return editor(dir, list);
    }

private:
    static int Next(std::deque<int>& answers)
    {
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected prompt";
            return prompt::mrCancel;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

/// A ".qel" attachment as the save-attachments action makes it: a shell link to Target,
/// named after OriginalName.
inline TestAttachment ShortcutAttachment(const std::string& target, const std::string& originalName)
{
    const std::string link = CreateShortcut(target, originalName);
    TestAttachment attachment{ShortcutFileName(originalName), ReadFile(link)};
    std::filesystem::remove(link);
    return attachment;
}

/// The file names of an item's attachments, in the collection's order.
inline std::vector<std::string> AttachmentNames(outlook::IOutlookItem& item)
{
    std::vector<std::string> names;
    const auto attachments = item.Attachments();
    for (int i = 1; i <= attachments->Count(); ++i) names.push_back(attachments->Item(i)->Filename());
    return names;
}

/// The saved content of the attachment at Index (from 1).
inline std::string AttachmentContent(outlook::IOutlookItem& item, int index, const TempDir& scratch)
{
    const std::filesystem::path path = scratch / ("att" + std::to_string(index));
    item.Attachments()->Item(index)->SaveAsFile(path.string());
    std::string content = ReadFile(path);
    std::filesystem::remove(path);
    return content;
}

}  // namespace test
