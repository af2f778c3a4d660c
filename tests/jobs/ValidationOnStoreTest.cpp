// Job validation and the folder tools on a real Maildir store.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "engine/OutlookTools.h"
#include "jobs/DM_Global.h"
#include "platform/outlook/Application.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Text.h"
#include "tests/support/Maildir.h"
#include "tests/support/TempDir.h"

namespace {

using outlook::IMAPIFolder;

/// Two stores: "Mailbox" with Inbox (two messages), Inbox/Projects and Archive, and
/// "Backup" whose Inbox has the same path as Mailbox's. The explorer shows Mailbox's Inbox
/// with both messages selected; the job's only action is marking as unread.
class ValidationOnStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::MaildirBuilder builder(dir / "Mail");
        builder.Add("Inbox", test::SimpleMessage("one"));
        builder.Add("Inbox", test::SimpleMessage("two"));
        builder.Folder("Inbox/Projects");
        builder.Folder("Archive");
        test::MaildirBuilder(dir / "Backup").Folder("Inbox");
        outlook::ApplicationConfig config;
        config.stores.push_back({"Mailbox", (dir / "Mail").string(), outlook::StoreLayout::Nested});
        config.stores.push_back({"Backup", (dir / "Backup").string(), outlook::StoreLayout::Nested});
        app = outlook::CreateApplication(config);
        inbox = app->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox);
        projects = ForceFolderPath(inbox, "Projects");
        archive = ForceFolderPath(inbox->Parent().As<IMAPIFolder>(), "Archive");
        ShowInbox(2);
        job.ReadUnread().Mode = 2;
    }
    /// The explorer shows the Inbox with its first `selected` items selected.
    void ShowInbox(int selected)
    {
        std::vector<ComPtr<outlook::IOutlookItem>> selection;
        for (int i = 1; i <= selected; ++i) selection.push_back(inbox->Items()->Item(i));
        app.As<outlook::IApplicationHost>()->SetExplorer(inbox, selection);
    }
    void UseFolderSource(bool inclSubFolders)
    {
        job.Source() = {1, inbox->EntryID(), inbox->StoreID(), "mailbox \\ INBOX", inclSubFolders};
    }
    static void Target(TOptions_CopyMove& options, const ComPtr<IMAPIFolder>& folder, const std::string& path)
    {
        options = {true, folder->EntryID(), folder->StoreID(), path, ""};
    }
    /// The message of the validation's exception; "" when the job passes.
    std::string Validate()
    {
        try {
            TDMGlobal::ValidateManualOptions(job, *app, items);
        } catch (const Exception& e) {
            return e.Message();
        }
        return "";
    }

    test::TempDir dir;
    ComPtr<outlook::IOutlookApplication> app;
    ComPtr<IMAPIFolder> inbox, projects, archive;
    TManualOptions job;
    TJobSourceItems items;
};

TEST_F(ValidationOnStore, SelectedItemsYieldFolderPathAndSelection)
{
    EXPECT_EQ(Validate(), "");
    ASSERT_TRUE(items.Folder);
    EXPECT_TRUE(IsSameFolder(items.Folder, inbox));
    EXPECT_EQ(items.Path, "Mailbox \\ Inbox");
    ASSERT_TRUE(items.Selection);
    EXPECT_EQ(items.Selection->Count(), 2);
}

TEST_F(ValidationOnStore, SelectionProblems)
{
    ShowInbox(0);
    EXPECT_EQ(Validate(), "Source items:\r\n\r\nNo items selected.");
    EXPECT_FALSE(items.Folder);
    EXPECT_FALSE(items.Selection);
    app.As<outlook::IApplicationHost>()->SetExplorer(nullptr, {});
    items.Path = "kept";
    EXPECT_EQ(Validate(), "Source items:\r\n\r\nNo active Explorer available.");
    EXPECT_EQ(items.Path, "kept");
}

TEST_F(ValidationOnStore, FolderSourceMustStillHaveItsPath)
{
    UseFolderSource(false);
    EXPECT_EQ(Validate(), "");
    EXPECT_TRUE(IsSameFolder(items.Folder, inbox));
    EXPECT_EQ(items.Path, "Mailbox \\ Inbox");
    EXPECT_FALSE(items.Selection);

    job.Source().FullName = "Mailbox \\ Old";
    EXPECT_EQ(Validate(), "Source items:\r\n\r\nOutlook folder has changed.");
    EXPECT_FALSE(items.Folder);
    EXPECT_EQ(items.Path, "Mailbox \\ Inbox");

    job.Source().Entry.clear();
    EXPECT_EQ(Validate(), "Source items:\r\n\r\nYou must specify an Outlook folder.");
}

TEST_F(ValidationOnStore, StoreErrorWhileLookingUpPassesUnchanged)
{
    const std::string gone = "496E626F782F476F6E65";  // "Inbox/Gone", no such folder
    std::string storeMessage;
    try {
        app->GetNamespace("MAPI")->GetFolderFromID(gone, inbox->StoreID());
    } catch (const Exception& e) {
        storeMessage = e.Message();
    }
    ASSERT_FALSE(storeMessage.empty());

    job.Source() = {1, gone, inbox->StoreID(), "Mailbox \\ Inbox \\ Projects", false};
    EXPECT_EQ(Validate(), storeMessage);
    EXPECT_FALSE(items.Folder);

    UseFolderSource(false);
    job.CopyEmails2() = {true, gone, inbox->StoreID(), "Mailbox \\ Inbox \\ Gone", ""};
    EXPECT_EQ(Validate(), storeMessage);
}

TEST_F(ValidationOnStore, ActionsAloneOrNone)
{
    job.ReadUnread().Mode = 1;
    EXPECT_EQ(Validate(), "");
    job.ReadUnread().Mode = 0;
    EXPECT_EQ(Validate(), "No actions defined for processing the e-mails.");
    job.Reimport().Active = true;
    EXPECT_EQ(Validate(), "");
    job.Reimport().Active = false;
    job.DeleteAttachments().Active = true;
    EXPECT_EQ(Validate(), "");
    job.DeleteAttachments().Active = false;

    job.Filter().Active = true;
    EXPECT_EQ(Validate(), "No actions defined for processing the e-mails.");
    job.Filter().HasAtt = job.Filter().HasNoAtt = false;
    EXPECT_EQ(Validate(), "Use filter:\r\n\r\nYou must check at least one attachment option.");
    job.Filter().Active = false;
    EXPECT_EQ(Validate(), "No actions defined for processing the e-mails.");
}

TEST_F(ValidationOnStore, RecordsAreCheckedInActionOrder)
{
    UseFolderSource(false);
    job.Filter().Active = true;
    job.Filter().DateFrom = 45001;
    job.Filter().DateTo = 45000;
    job.CopyEmails1() = {true, "", "", "", ""};
    job.ExportEmails().Active = true;
    job.SaveAttachments().Active = true;
    job.CopyEmails2() = {true, projects->EntryID(), projects->StoreID(), "Mailbox \\ Inbox \\ Projects",
                         "[FE]"};
    Target(job.MoveEmails(), archive, "Mailbox \\ Elsewhere");
    job.DeleteEmails() = {true, false, false};

    const std::vector<std::string> failures = {
        "Use filter:\r\n\r\nDate <from> is later than date <to>.",
        "Copy e-mails to folder:\r\n\r\nYou must specify an Outlook folder.",
        "Export e-mails:\r\n\r\nDestination directory not specified.",
        "Save attachments:\r\n\r\nDestination directory not specified.",
        "Copy e-mails to folder:\r\n\r\nInvalid subfolder/file mask: [FE].",
        "Move e-mails to folder:\r\n\r\nOutlook folder has changed.",
        "Delete e-mails:\r\n\r\nYou must check at least one attachment option.",
        "",
    };
    const std::vector<std::function<void()>> repairs = {
        [&] { job.Filter().DateTo = 0; },
        [&] { Target(job.CopyEmails1(), archive, "Mailbox \\ Archive"); },
        [&] { job.ExportEmails().DestPath = "/out"; },
        [&] { job.SaveAttachments().DestPath = "/att"; },
        [&] { job.CopyEmails2().Mask = "[Y]"; },
        [&] { job.MoveEmails().FullName = "MAILBOX \\ archive"; },
        [&] { job.DeleteEmails().DeleteWithAtt = true; },
    };
    for (std::size_t i = 0; i < failures.size(); ++i) {
        EXPECT_EQ(Validate(), failures[i]) << "step " << i;
        if (i < repairs.size()) repairs[i]();
    }
}

TEST_F(ValidationOnStore, FolderSourceAndDestinationBelowIt)
{
    job.ReadUnread().Mode = 0;
    UseFolderSource(true);
    job.MoveEmails() = {true, projects->EntryID(), projects->StoreID(), "Mailbox \\ Inbox \\ Projects",
                        "[Y]"};
    EXPECT_EQ(
        Validate(),
        "Move e-mails to folder:\r\n\r\nDestination folder must not be a child folder of the source folder.");
    job.Source().InclSubFolders = false;
    EXPECT_EQ(Validate(), "");
    EXPECT_EQ(items.Path, "Mailbox \\ Inbox");
}

TEST_F(ValidationOnStore, DestinationMustDifferFromTheSource)
{
    UseFolderSource(true);
    Target(job.CopyEmails2(), inbox, "Mailbox \\ Inbox");
    EXPECT_EQ(Validate(),
              "Copy e-mails to folder:\r\n\r\nDestination folder must be different from the source folder.");

    // The same folder path in another store is another folder.
    const ComPtr<IMAPIFolder> backupInbox =
        FindOrAddSubFolder(app->GetNamespace("MAPI")->Folders()->Item(2), "Inbox");
    ASSERT_EQ(backupInbox->EntryID(), inbox->EntryID());
    Target(job.CopyEmails2(), backupInbox, "Backup \\ Inbox");
    EXPECT_EQ(Validate(), "");
}

TEST_F(ValidationOnStore, WithSelectedItemsOnlyTheCurrentFolderIsRefused)
{
    Target(job.CopyEmails1(), projects, "Mailbox \\ Inbox \\ Projects");
    EXPECT_EQ(Validate(), "");
    Target(job.CopyEmails1(), inbox, "Mailbox \\ Inbox");
    EXPECT_EQ(Validate(),
              "Copy e-mails to folder:\r\n\r\nDestination folder must be different from the source folder.");
}

TEST_F(ValidationOnStore, ForceFolderPathCreatesFoldersOnDisk)
{
    const ComPtr<IMAPIFolder> folder = ForceFolderPath(inbox, " Archive\\\\ 2024\\");
    EXPECT_EQ(GetFolderPath(folder), "Mailbox \\ Inbox \\ Archive \\ 2024");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Mail/Inbox/Archive/2024/cur"));
    EXPECT_TRUE(IsFolderWithin(inbox, folder));
    EXPECT_FALSE(IsFolderWithin(folder, inbox));
    EXPECT_TRUE(IsSameFolder(ForceFolderPath(inbox, "ARCHIVE \\ 2024"), folder));
}

TEST_F(ValidationOnStore, FolderPathFromIdOnTheStore)
{
    EXPECT_EQ(GetFolderPathFromID(*app, projects->EntryID(), projects->StoreID()),
              "Mailbox \\ Inbox \\ Projects");
    EXPECT_EQ(GetFolderPathFromID(*app, projects->EntryID(), "4E6F7768657265"), "");
    EXPECT_EQ(GetFolderPathFromID(*app, "not hex", projects->StoreID()), "");
    EXPECT_EQ(GetFolderPathFromID(*app, "", projects->StoreID()), "");
}

TEST_F(ValidationOnStore, SubFolderMatchIgnoresCaseAndTakesTheFirstInOrder)
{
    test::MaildirBuilder builder(dir / "Mail");
    builder.Folder("Inbox/archive");
    builder.Folder("Inbox/ARCHIVE");
    const ComPtr<outlook::IFolders> folders = inbox->Folders();
    const int count = folders->Count();
    ComPtr<IMAPIFolder> first;
    for (int i = 1; i <= count && !first; ++i) {
        if (SameTextAscii(folders->Item(i)->Name(), "archive")) first = folders->Item(i);
    }
    ASSERT_TRUE(first);
    EXPECT_TRUE(IsSameFolder(FindOrAddSubFolder(inbox, "Archive"), first));
    EXPECT_EQ(inbox->Folders()->Count(), count);  // nothing created
}

}  // namespace
