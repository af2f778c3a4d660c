#pragma once
// A real store, an engine that can run one action on one of its items, and the files that
// the action wrote: shared by the tests of the export and the save-attachments actions.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/runtime/DateTime.h"
#include "tests/engine/EngineFixture.h"
#include "tests/engine/EngineProbe.h"

namespace test {

class ActionProbe : public EngineProbe {
public:
    using TEmailProcessor::BuildHtmlFromBody;
    using TEmailProcessor::CreateSafeItem;
    using TEmailProcessor::ExportEmail;
    using TEmailProcessor::SaveAttachments;
    using TEmailProcessor::SaveItemAttachments;
};

/// Every regular file below `dir`, as paths relative to it ("/"-separated), sorted.
inline std::set<std::string> FilesBelow(const std::filesystem::path& dir)
{
    std::set<std::string> files;
    if (!std::filesystem::exists(dir)) return files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
        if (e.is_regular_file()) files.insert(std::filesystem::relative(e.path(), dir).string());
    }
    return files;
}

class ActionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine.SetObjectFactory(ServerObjectFactory());
        engine.OnProgress = [this](TEmailProcessor&, const std::string&, std::int32_t, std::int32_t,
                                   const std::string& action) { progress.push_back(action); };
    }

    /// Stores a message in the Inbox; returns its position there (from 1).
    int AddMessage(const TestMessage& m) { return AddMessage(MessageText(m)); }
    int AddMessage(const std::string& text)
    {
        store.Builder().Add("Inbox", text);
        return ++messages;
    }

    /// (Re)opens the store and returns the safe item of the Inbox's item n, with the item's
    /// information read as the run reads it.
    ComPtr<qelutils::ISafeItem> Item(int n)
    {
        store.Open();
        engine.SetApplication(store.Application());
        const auto inbox = store.Folder("Inbox");
        engine.EnterFolder(inbox, inbox->Items()->Count());
        auto item = inbox->Items()->Item(n);
        auto safeItem = engine.CreateSafeItem(item, item->Class());
        engine.ReadItemInfo(safeItem, safeItem->Recipients());
        engine.FNow = Now();
        return safeItem;
    }

    /// The Inbox's item n as the store holds it now, through a new application object.
    ComPtr<outlook::IOutlookItem> StoredItem(int n)
    {
        store.Open();
        return store.Folder("Inbox")->Items()->Item(n);
    }

    /// The names (DisplayName) of an item's attachments, first to last.
    static std::vector<std::string> AttachmentNames(outlook::IOutlookItem& item)
    {
        std::vector<std::string> names;
        const auto atts = item.Attachments();
        for (int i = 1; i <= atts->Count(); ++i) names.push_back(atts->Item(i)->DisplayName());
        return names;
    }

    std::string Dest() const { return (out.Path() / "dest").string(); }

    StoreFixture store;
    TempDir out;
    ActionProbe engine;
    std::vector<std::string> progress;
    int messages = 0;
};

}  // namespace test
