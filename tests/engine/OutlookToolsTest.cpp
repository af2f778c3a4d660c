#include <gtest/gtest.h>

#include "engine/OutlookTools.h"
#include "tests/jobs/FakeOutlook.h"

namespace {

class OutlookTools : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = outlook->AddStore("Mailbox");
        inbox = store->AddChild("Inbox");
        projects = inbox->AddChild("Projects");
    }
    ComPtr<test::FakeOutlook> outlook = MakeCom<test::FakeOutlook>();
    ComPtr<test::FakeFolder> store, inbox, projects;
};

TEST_F(OutlookTools, DisplayPathRunsFromTheStore)
{
    EXPECT_EQ(GetFolderPath(projects), "Mailbox \\ Inbox \\ Projects");
    EXPECT_EQ(GetFolderPath(store), "Mailbox");
    EXPECT_EQ(GetFolderPathFromID(*outlook, "Inbox/Projects", "Mailbox"), "Mailbox \\ Inbox \\ Projects");
}

TEST_F(OutlookTools, PathFromIdSwallowsErrors)
{
    EXPECT_EQ(GetFolderPathFromID(*outlook, "", "Mailbox"), "");
    EXPECT_EQ(outlook->lookups, 0);
    EXPECT_EQ(GetFolderPathFromID(*outlook, "Gone", "Mailbox"), "");
    EXPECT_EQ(GetFolderPathFromID(*outlook, "Inbox", "Other store"), "");
}

TEST_F(OutlookTools, ForceFolderPathSkipsEmptyPartsAndCreatesMissingOnes)
{
    const ComPtr<outlook::IMAPIFolder> folder = ForceFolderPath(store, " Archive\\\\ 2024\\");
    EXPECT_EQ(GetFolderPath(folder), "Mailbox \\ Archive \\ 2024");
    EXPECT_EQ(store->adds, 2);  // Inbox and Archive
    const ComPtr<outlook::IMAPIFolder> again = ForceFolderPath(store, "ARCHIVE\\2024");
    EXPECT_TRUE(IsSameFolder(folder, again));
    EXPECT_EQ(store->adds, 2);
    EXPECT_EQ(ForceFolderPath(store, "\\ \\").Get(), static_cast<outlook::IMAPIFolder*>(store.Get()));
}

TEST_F(OutlookTools, SubFolderMatchIgnoresCaseAndTakesTheFirst)
{
    const ComPtr<test::FakeFolder> lower = store->AddChild("archive");
    store->AddChild("ARCHIVE");
    EXPECT_EQ(FindOrAddSubFolder(store, "Archive").Get(), static_cast<outlook::IMAPIFolder*>(lower.Get()));
}

TEST_F(OutlookTools, SameFolderAndWithin)
{
    const auto sameIds = MakeCom<test::FakeFolder>("Other name", "INBOX", "MAILBOX", nullptr);
    EXPECT_TRUE(IsSameFolder(inbox, sameIds));
    EXPECT_FALSE(IsSameFolder(inbox, projects));
    EXPECT_TRUE(IsFolderWithin(inbox, inbox));
    EXPECT_TRUE(IsFolderWithin(inbox, projects));
    EXPECT_TRUE(IsFolderWithin(store, projects));
    EXPECT_FALSE(IsFolderWithin(projects, inbox));
}

}  // namespace
