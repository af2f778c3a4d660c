// Job validation and the folder tools on a real Maildir store.
#include <gtest/gtest.h>

#include "engine/OutlookTools.h"
#include "jobs/DM_Global.h"
#include "platform/outlook/Application.h"
#include "platform/runtime/Exception.h"
#include "tests/support/Maildir.h"
#include "tests/support/TempDir.h"

namespace {

class ValidationOnStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::MaildirBuilder builder(dir / "Mail");
        builder.Add("Inbox", test::SimpleMessage("one"));
        builder.Folder("Inbox/Projects");
        outlook::ApplicationConfig config;
        config.stores.push_back({"Mailbox", (dir / "Mail").string(), outlook::StoreLayout::Nested});
        app = outlook::CreateApplication(config);
        inbox = app->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox);
    }
    std::string Validate()
    {
        TJobSourceItems items;
        try {
            TDMGlobal::ValidateManualOptions(job, *app, items);
        } catch (const Exception& e) {
            return e.Message();
        }
        return items.Path;
    }

    test::TempDir dir;
    ComPtr<outlook::IOutlookApplication> app;
    ComPtr<outlook::IMAPIFolder> inbox;
    TManualOptions job;
};

TEST_F(ValidationOnStore, FolderSourceAndDestinationBelowIt)
{
    const ComPtr<outlook::IMAPIFolder> projects = ForceFolderPath(inbox, "projects");
    ASSERT_EQ(GetFolderPath(projects), "Mailbox \\ Inbox \\ Projects");
    EXPECT_EQ(GetFolderPathFromID(*app, projects->EntryID(), projects->StoreID()), "Mailbox \\ Inbox \\ Projects");

    job.Source() = {1, inbox->EntryID(), inbox->StoreID(), "Mailbox \\ Inbox", true};
    job.MoveEmails() = {true, projects->EntryID(), projects->StoreID(), "Mailbox \\ Inbox \\ Projects", "[Y]"};
    EXPECT_EQ(Validate(), "Move e-mails to folder:\r\n\r\nDestination folder must not be a child folder of the source folder.");
    job.Source().InclSubFolders = false;
    EXPECT_EQ(Validate(), "Mailbox \\ Inbox");
}

TEST_F(ValidationOnStore, ForceFolderPathCreatesFoldersOnDisk)
{
    const ComPtr<outlook::IMAPIFolder> folder = ForceFolderPath(inbox, " Archive\\\\ 2024\\");
    EXPECT_EQ(GetFolderPath(folder), "Mailbox \\ Inbox \\ Archive \\ 2024");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Mail/Inbox/Archive/2024/cur"));
    EXPECT_TRUE(IsFolderWithin(inbox, folder));
    EXPECT_FALSE(IsFolderWithin(folder, inbox));
}

}  // namespace
