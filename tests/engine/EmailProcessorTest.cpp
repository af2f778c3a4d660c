// The manual run on real Maildir stores: walk order, counts, selection, the item trap,
// cancel and the result text.

#include "engine/EmailProcessor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/OutlookTools.h"
#include "platform/com/ComError.h"
#include "platform/outlook/Application.h"
#include "platform/runtime/Exception.h"
#include "tests/engine/EngineFixture.h"
#include "tests/engine/EngineProbe.h"

namespace {

using test::SimpleMessage;

/// Records what the walk hands to the actions and lets a test act on the items.
class WalkProbe : public test::EngineProbe {
public:
    std::vector<std::string> visited;  // subject at the read/unread action
    std::vector<std::string> steps;    // actions in the order they ran
    std::string failIn;                // an action that raises ("Reimport")
    bool failWithAbort = false;        // ... the user's cancel instead of an error
    bool deleteItems = false;
    ComPtr<outlook::IMAPIFolder> moveTo;

protected:
    void Step(const std::string& name)
    {
        steps.push_back(name + ":" + FSubject);
        if (name != failIn) return;
        if (failWithAbort) throw EAbort();
        throw Exception("Disk full");
    }
    void CopyToFolder(const SafeItemPtr&, const TOptions_CopyMove& part) override
    {
        Step(&part == &ManualOptions().CopyEmails1() ? "Copy1" : "Copy2");
    }
    void ExportEmail(const SafeItemPtr&, const RecipientsPtr&, const TOptions_ExportEmails&) override
    {
        Step("Export");
    }
    void ReimportAttachments(const SafeItemPtr&) override
    {
        FAction = actions::ReimportingAttachments;  // as the action itself reports its step
        DoProgress();
        Step("Reimport");
    }
    void SaveAttachments(const SafeItemPtr&, const TOptions_SaveAttachments&) override { Step("Save"); }
    void DeleteAttachments(const SafeItemPtr&, const TOptions_DeleteAttachments&) override { Step("DelAtt"); }
    void MarkReadUnread(const SafeItemPtr&, const TOptions_ReadUnread&) override
    {
        visited.push_back(FSubject);
        Step("Mark");
    }
    void MoveToFolder(const SafeItemPtr& item, const TOptions_CopyMove&) override
    {
        Step("Move");
        if (moveTo) item->Move(moveTo), ++FEmailsMoved;
    }
    void DeleteEmail(const SafeItemPtr& item, const TOptions_DeleteEmails&) override
    {
        Step("Delete");
        if (deleteItems) item->Delete(), ++FEmailsDeleted;
    }
};

struct Progress {
    std::string folder;
    int count, index;
    std::string action;
};

class EmailProcessorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine.SetObjectFactory(test::ServerObjectFactory());
        engine.OnProgress = [this](TEmailProcessor&, const std::string& folder, int count, int index,
                                   const std::string& action) {
            progress.push_back({folder, count, index, action});
            if (cancelAt && static_cast<int>(progress.size()) == cancelAt) throw EAbort();
            if (action == cancelOn) cancelled = true;  // the user pressed cancel during this step
            if (cancelled) throw EAbort();
        };
        engine.OnItemError = [this](TEmailProcessor&, const std::string& path, const std::string& subject,
                                    TDateTime date, const std::string& msg) {
            errors.push_back(path + "|" + subject + "|" + std::to_string(date > 0) + "|" + msg);
        };
    }

    /// A folder job over `relPath` with the read/unread action on.
    void FolderJob(const std::string& relPath, bool inclSubFolders)
    {
        store.Open();
        engine.SetApplication(store.Application());
        const auto folder = store.Folder(relPath);
        TOptions_Source& source = engine.ManualOptions().Source();
        source.Source = 1;
        source.Entry = folder->EntryID();
        source.Store = folder->StoreID();
        source.FullName = GetFolderPath(folder);
        source.InclSubFolders = inclSubFolders;
        engine.ManualOptions().ReadUnread().Mode = 1;
    }

    void PointAt(TOptions_CopyMove& part, const std::string& relPath)
    {
        const auto folder = store.Folder(relPath);
        part.Active = true;
        part.Entry = folder->EntryID();
        part.Store = folder->StoreID();
        part.FullName = GetFolderPath(folder);
    }

    test::StoreFixture store;
    WalkProbe engine;
    std::vector<Progress> progress;
    std::vector<std::string> errors;
    int cancelAt = 0;
    std::string cancelOn;
    bool cancelled = false;
};

TEST_F(EmailProcessorTest, ItemsLastToFirstSubfoldersAfterTheirFolder)
{
    auto& b = store.Builder();
    for (const char* s : {"A", "B", "C"}) b.Add("Inbox", SimpleMessage(s));
    b.Add("Inbox/P", SimpleMessage("P1"));
    b.Add("Inbox/Q", SimpleMessage("Q1"));
    b.Add("Inbox/Q", SimpleMessage("Q2"));
    b.Add("Inbox/Q/R", SimpleMessage("R1"));
    FolderJob("Inbox", true);
    engine.Execute();

    EXPECT_EQ(engine.visited, (std::vector<std::string>{"C", "B", "A", "Q2", "Q1", "R1", "P1"}));
    EXPECT_EQ(engine.FoldersInspected(), 4);
    EXPECT_EQ(engine.ItemsInspected(), 7);
    EXPECT_EQ(engine.EmailsProcessed(), 7);
    ASSERT_GE(progress.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(progress[i].folder, "Inbox");
        EXPECT_EQ(progress[i].count, 3);
        EXPECT_EQ(progress[i].index, i + 1) << "numbers count up while the walk goes down";
        EXPECT_EQ(progress[i].action, "Inspecting");
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(EmailProcessorTest, WithoutSubfoldersOnlyTheFolder)
{
    store.Builder().Add("Inbox", SimpleMessage("A"));
    store.Builder().Add("Inbox/P", SimpleMessage("P1"));
    FolderJob("Inbox", false);
    engine.Execute();
    EXPECT_EQ(engine.visited, std::vector<std::string>{"A"});
    EXPECT_EQ(engine.FoldersInspected(), 1);
}

TEST_F(EmailProcessorTest, EmptyFolderCountsOneFolderAndFiresNothing)
{
    store.Builder().Folder("Inbox/Empty");
    FolderJob("Inbox/Empty", false);
    engine.Execute();
    EXPECT_EQ(engine.FoldersInspected(), 1);
    EXPECT_EQ(engine.ItemsInspected(), 0);
    EXPECT_TRUE(progress.empty());
    EXPECT_EQ(engine.GetResultText(),
              "Folders inspected: 1   \r\nItems inspected: 0   \r\nE-mails processed: 0   \r\n\r\n"
              "E-mails set to read: 0   \r\n");
}

TEST_F(EmailProcessorTest, DeletingEveryItemNeitherSkipsNorRepeats)
{
    for (const char* s : {"A", "B", "C", "D"}) store.Builder().Add("Inbox", SimpleMessage(s));
    FolderJob("Inbox", false);
    engine.ManualOptions().DeleteEmails().Active = true;
    engine.ManualOptions().DeleteEmails().DeleteWithoutAtt = true;
    engine.deleteItems = true;
    engine.Execute();
    EXPECT_EQ(engine.visited, (std::vector<std::string>{"D", "C", "B", "A"}));
    EXPECT_EQ(store.Folder("Inbox")->Items()->Count(), 0);
    EXPECT_EQ(store.Folder("Deleted Items")->Items()->Count(), 4);
}

TEST_F(EmailProcessorTest, MovingItemsOutDuringTheWalk)
{
    for (const char* s : {"A", "B", "C"}) store.Builder().Add("Inbox", SimpleMessage(s));
    store.Builder().Folder("Archive");
    FolderJob("Inbox", false);
    PointAt(engine.ManualOptions().MoveEmails(), "Archive");
    engine.moveTo = store.Folder("Archive");
    engine.Execute();
    EXPECT_EQ(engine.visited, (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_EQ(store.Folder("Archive")->Items()->Count(), 3);
    EXPECT_EQ(engine.GetResultText(),
              "Folders inspected: 1   \r\nItems inspected: 3   \r\nE-mails processed: 3   \r\n"
              "\r\nE-mails set to read: 0   \r\n\r\nE-mails moved: 3   \r\n");
}

TEST_F(EmailProcessorTest, AnotherProgramsRenameIsFollowedItsDeleteIsAnItemError)
{
    const auto a = store.Builder().Add("Inbox", SimpleMessage("A"));
    const auto b = store.Builder().Add("Inbox", SimpleMessage("B"));
    store.Builder().Add("Inbox", SimpleMessage("C"));
    FolderJob("Inbox", false);
    engine.OnProgress = [&](TEmailProcessor&, const std::string&, int, int index, const std::string&) {
        if (index != 1) return;
        std::filesystem::remove(b);
        std::filesystem::rename(a, a.string() + "F");
    };
    engine.Execute();
    EXPECT_EQ(engine.visited, (std::vector<std::string>{"C", "A"}));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("||0|The message \""), std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find("is no longer in the folder"), std::string::npos) << errors[0];
}

TEST_F(EmailProcessorTest, SelectionCountsAsOneFolderOfTheExplorer)
{
    for (const char* s : {"A", "B", "C"}) store.Builder().Add("Inbox/P", SimpleMessage(s));
    FolderJob("Inbox/P", false);
    engine.ManualOptions().Source().Source = 0;
    const auto folder = store.Folder("Inbox/P");
    const auto items = folder->Items();
    store.Application().As<outlook::IApplicationHost>()->SetExplorer(folder, {items->Item(1), items->Item(3)});
    engine.Execute();
    EXPECT_EQ(engine.visited, (std::vector<std::string>{"C", "A"}));
    EXPECT_EQ(engine.FoldersInspected(), 1);
    ASSERT_EQ(progress.size(), 2u);
    EXPECT_EQ(progress[0].folder, "P");
    EXPECT_EQ(progress[0].count, 2);
}

TEST_F(EmailProcessorTest, SelectedItemsMovedAndDeletedDuringTheWalk)
{
    for (const char* s : {"A", "B", "C", "D", "E"}) store.Builder().Add("Inbox", SimpleMessage(s));
    store.Builder().Folder("Archive");
    FolderJob("Inbox", false);
    engine.ManualOptions().Source().Source = 0;
    PointAt(engine.ManualOptions().MoveEmails(), "Archive");
    engine.moveTo = store.Folder("Archive");
    const auto folder = store.Folder("Inbox");
    const auto items = folder->Items();
    store.Application().As<outlook::IApplicationHost>()->SetExplorer(
        folder, {items->Item(1), items->Item(2), items->Item(4), items->Item(5)});
    engine.Execute();
    EXPECT_EQ(engine.visited, (std::vector<std::string>{"E", "D", "B", "A"}));
    EXPECT_EQ(engine.FoldersInspected(), 1);
    EXPECT_EQ(engine.ItemsInspected(), 4);
    EXPECT_EQ(store.Folder("Archive")->Items()->Count(), 4);
    ASSERT_EQ(store.Folder("Inbox")->Items()->Count(), 1);
    EXPECT_EQ(store.Folder("Inbox")->Items()->Item(1)->Subject(), "C") << "the unselected item stays";
    EXPECT_NE(engine.GetResultText().find("E-mails moved: 4   \r\n"), std::string::npos);
}

TEST_F(EmailProcessorTest, OtherClassesAreInspectedOnly)
{
    store.Builder().Add("Inbox", test::MeetingRequest("Meet"));
    store.Builder().Add("Inbox", SimpleMessage("Mail"));
    store.Builder().Add("Inbox", test::DeliveryReport("Bounce"));
    store.Builder().Add("Inbox", test::PostMessage("Post"));
    FolderJob("Inbox", false);
    engine.Execute();
    EXPECT_EQ(engine.visited, (std::vector<std::string>{"Post", "Mail"}));
    EXPECT_EQ(engine.ItemsInspected(), 4);
    EXPECT_EQ(engine.EmailsProcessed(), 2);
    EXPECT_EQ(progress.size(), 4u);
}

TEST_F(EmailProcessorTest, ActionsRunInTheirFixedOrder)
{
    store.Builder().Add("Inbox", SimpleMessage("A"));
    store.Builder().Folder("Archive");
    FolderJob("Inbox", false);
    TManualOptions& job = engine.ManualOptions();
    PointAt(job.CopyEmails1(), "Archive");
    PointAt(job.CopyEmails2(), "Archive");
    PointAt(job.MoveEmails(), "Archive");
    job.ExportEmails().Active = true;
    job.ExportEmails().DestPath = (store.Dir() / "out").string();
    job.ExportEmails().Mask = "[B]";
    job.Reimport().Active = true;
    job.SaveAttachments().Active = true;
    job.SaveAttachments().DestPath = (store.Dir() / "att").string();
    job.SaveAttachments().Mask = "[FE]";
    job.DeleteAttachments().Active = true;
    job.DeleteEmails().Active = true;
    job.DeleteEmails().DeleteWithAtt = true;
    engine.Execute();
    EXPECT_EQ(engine.steps, (std::vector<std::string>{"Copy1:A", "Export:A", "Reimport:A", "Save:A", "DelAtt:A",
                                                      "Mark:A", "Copy2:A", "Move:A", "Delete:A"}));
    EXPECT_EQ(engine.GetResultText(),
              "Folders inspected: 1   \r\nItems inspected: 1   \r\nE-mails processed: 1   \r\n"
              "\r\nE-mails copied: 0   \r\n"
              "\r\nE-mails exported: 0   \r\n"
              "\r\nAttachments skipped: 0   \r\nAttachments reimported: 0   \r\nE-Mails affected: 0   \r\n"
              "\r\nAttachments saved: 0   \r\nShortcuts created: 0   \r\n\r\nAttachments removed: 0   \r\n"
              "\r\nE-Mails affected: 0   \r\n"
              "\r\nAttachments deleted: 0   \r\nE-Mails affected: 0   \r\n"
              "\r\nE-mails set to read: 0   \r\n"
              "\r\nE-mails moved: 0   \r\n"
              "\r\nE-mails deleted: 0   \r\n");
}

TEST_F(EmailProcessorTest, AFailingActionIsReportedOnceAndTheRestOfItsItemSkipped)
{
    store.Builder().Add("Inbox", SimpleMessage("A"));
    store.Builder().Add("Inbox", SimpleMessage("B"));
    FolderJob("Inbox", false);
    engine.ManualOptions().Reimport().Active = true;
    engine.ManualOptions().DeleteEmails().Active = true;
    engine.ManualOptions().DeleteEmails().DeleteWithoutAtt = true;
    engine.failIn = "Reimport";
    engine.Execute();
    EXPECT_EQ(errors, (std::vector<std::string>{"Mailbox \\ Inbox|B|1|Disk full", "Mailbox \\ Inbox|A|1|Disk full"}));
    EXPECT_EQ(engine.steps, (std::vector<std::string>{"Reimport:B", "Reimport:A"}));
    EXPECT_EQ(engine.EmailsProcessed(), 2);
}

TEST_F(EmailProcessorTest, ACancelInsideAnActionSkipsTheItemSilently)
{
    store.Builder().Add("Inbox", SimpleMessage("A"));
    store.Builder().Add("Inbox", SimpleMessage("B"));
    FolderJob("Inbox", false);
    engine.ManualOptions().Reimport().Active = true;
    engine.failIn = "Reimport";
    engine.failWithAbort = true;
    engine.Execute();
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(engine.steps, (std::vector<std::string>{"Reimport:B", "Reimport:A"}));
    EXPECT_TRUE(engine.visited.empty());
}

TEST_F(EmailProcessorTest, CancelAtInspectingEndsTheRun)
{
    for (const char* s : {"A", "B", "C"}) store.Builder().Add("Inbox", SimpleMessage(s));
    FolderJob("Inbox", false);
    cancelAt = 2;
    EXPECT_THROW(engine.Execute(), EAbort);
    EXPECT_EQ(engine.visited, std::vector<std::string>{"C"});
    EXPECT_EQ(engine.ItemsInspected(), 2);
    EXPECT_EQ(engine.EmailsProcessed(), 1);
    EXPECT_TRUE(errors.empty());
}

TEST_F(EmailProcessorTest, ACancelDuringAnActionSkipsItsItemAndEndsTheRunAtTheNext)
{
    for (const char* s : {"A", "B", "C"}) store.Builder().Add("Inbox", SimpleMessage(s));
    FolderJob("Inbox", false);
    engine.ManualOptions().Reimport().Active = true;
    cancelOn = "Reimporting attachments";
    EXPECT_THROW(engine.Execute(), EAbort);
    std::vector<std::string> actions;
    for (const auto& p : progress) actions.push_back(p.action);
    EXPECT_EQ(actions, (std::vector<std::string>{"Inspecting", "Reimporting attachments", "Inspecting"}));
    EXPECT_TRUE(engine.visited.empty()) << "the rest of the cancelled item is skipped";
    EXPECT_TRUE(errors.empty()) << "a cancel is never reported";
    EXPECT_EQ(engine.ItemsInspected(), 2);
    EXPECT_EQ(engine.EmailsProcessed(), 1);
    EXPECT_FALSE(engine.FSourceFolder) << "the folders are let go also when the run ends by an exception";
    EXPECT_FALSE(engine.FCurrentFolder);
}

TEST_F(EmailProcessorTest, ValidationErrorEndsTheRunBeforeAnyItem)
{
    store.Builder().Add("Inbox", SimpleMessage("A"));
    FolderJob("Inbox", false);
    engine.ManualOptions().ReadUnread().Mode = 0;
    try {
        engine.Execute();
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "No actions defined for processing the e-mails.");
    }
    EXPECT_EQ(engine.ItemsInspected(), 0);
}

TEST_F(EmailProcessorTest, MissingServerEndsTheRun)
{
    store.Builder().Add("Inbox", SimpleMessage("A"));
    FolderJob("Inbox", false);
    engine.SetObjectFactory([](const std::string&) -> ComPtr<IUnknown> { throw ComError(REGDB_E_CLASSNOTREG); });
    EXPECT_THROW(engine.Execute(), ComError);
    EXPECT_EQ(engine.ItemsInspected(), 0);
}

TEST_F(EmailProcessorTest, ASecondRunStartsFromZero)
{
    store.Builder().Add("Inbox", SimpleMessage("A"));
    FolderJob("Inbox", false);
    engine.Execute();
    engine.Execute();
    EXPECT_EQ(engine.ItemsInspected(), 1);
    EXPECT_EQ(engine.FoldersInspected(), 1);
}

TEST(ResultTextTest, UnreadModeShowsOnlyTheUnreadLine)
{
    TEmailProcessor engine;
    engine.ManualOptions().ReadUnread().Mode = 2;
    EXPECT_EQ(engine.GetResultText(),
              "Folders inspected: 0   \r\nItems inspected: 0   \r\nE-mails processed: 0   \r\n\r\n"
              "E-mails set to unread: 0   \r\n");
    engine.ManualOptions().ReadUnread().Mode = 0;
    engine.ManualOptions().CopyEmails2().Active = true;
    EXPECT_EQ(engine.GetResultText(),
              "Folders inspected: 0   \r\nItems inspected: 0   \r\nE-mails processed: 0   \r\n\r\n"
              "E-mails copied: 0   \r\n");
}

}  // namespace
