// Mark read or unread, delete attachments and delete e-mails on a real store; and all nine
// actions of one job in their order.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/outlook/Outlook.h"
#include "tests/engine/JobTestSupport.h"
#include "tests/engine/ShortcutTestSupport.h"

namespace fs = std::filesystem;
using test::SimpleMessage;
using Texts = std::vector<std::string>;

namespace {

class ReadUnreadDeleteTest : public test::JobTest {
protected:
    /// A message with attachments of these names.
    std::string WithAttachments(const std::string& subject, const Texts& names)
    {
        test::TestMessage m;
        m.subject = subject;
        for (const auto& name : names) m.attachments.push_back({name, "bytes of " + name});
        return test::MessageText(m);
    }
    /// Attachment names of the first item of the folder, read from a freshly opened store.
    Texts StoredAttachments(const std::string& relPath, int index = 1)
    {
        store.Open();
        return test::AttachmentNames(*store.Folder(relPath)->Items()->Item(index));
    }
};

TEST_F(ReadUnreadDeleteTest, MarkReadChangesOnlyUnreadItemsAndStoresTheFlag)
{
    const fs::path unread = store.Builder().Add("Inbox", SimpleMessage("U"), "", true);
    const fs::path read = store.Builder().Add("Inbox", SimpleMessage("R"), "S");
    FolderJob("Inbox");
    engine.ManualOptions().ReadUnread().Mode = 1;
    engine.Execute();

    EXPECT_EQ(engine.FEmailsMarked, 1);
    EXPECT_TRUE(fs::exists(read)) << "an item already read is not saved again";
    EXPECT_FALSE(fs::exists(unread));
    store.Open();
    const auto items = store.Folder("Inbox")->Items();
    for (int i = 1; i <= items->Count(); ++i) EXPECT_FALSE(items->Item(i)->Unread()) << i;
    EXPECT_EQ(engine.GetResultText(),
              "Folders inspected: 1   \r\nItems inspected: 2   \r\nE-mails processed: 2   \r\n"
              "\r\nE-mails set to read: 1   \r\n");
}

TEST_F(ReadUnreadDeleteTest, MarkUnreadCountsEachChange)
{
    for (const char* s : {"A", "B", "C"}) store.Builder().Add("Inbox", SimpleMessage(s), "S");
    store.Builder().Add("Inbox", SimpleMessage("D"), "");
    FolderJob("Inbox");
    engine.ManualOptions().ReadUnread().Mode = 2;
    engine.Execute();
    EXPECT_EQ(engine.FEmailsMarked, 3);
    store.Open();
    EXPECT_TRUE(store.Folder("Inbox")->Items()->Item(1)->Unread());
    EXPECT_NE(engine.GetResultText().find("\r\nE-mails set to unread: 3   \r\n"), std::string::npos);
}

TEST_F(ReadUnreadDeleteTest, DeleteOnlyThePdfAttachments)
{
    store.Builder().Add("Inbox", WithAttachments("Mixed", {"a.PDF", "b.txt", "c.pdf", "d.doc"}));
    const fs::path plain = store.Builder().Add("Inbox", WithAttachments("None", {"x.txt"}));
    FolderJob("Inbox");
    auto& part = engine.ManualOptions().DeleteAttachments();
    part.Active = true;
    part.AttIncl().Add("*.pdf");
    engine.Execute();

    EXPECT_EQ(StoredAttachments("Inbox"), (Texts{"b.txt", "d.doc"}));
    EXPECT_TRUE(fs::exists(plain)) << "an e-mail without a match is not saved";
    EXPECT_EQ(engine.FAttsDeleted, 2);
    EXPECT_EQ(engine.FDeleteAffected, 1);
    EXPECT_EQ(engine.GetResultText(),
              "Folders inspected: 1   \r\nItems inspected: 2   \r\nE-mails processed: 2   \r\n"
              "\r\nAttachments deleted: 2   \r\nE-Mails affected: 1   \r\n");
}

TEST_F(ReadUnreadDeleteTest, EmptyListsDeleteEveryAttachmentAndExcludeKeeps)
{
    store.Builder().Add("Inbox", WithAttachments("All", {"a.pdf", "b.txt", "keep.pdf"}));
    FolderJob("Inbox");
    auto& part = engine.ManualOptions().DeleteAttachments();
    part.Active = true;
    part.AttExcl().Add("KEEP.*");
    engine.Execute();
    EXPECT_EQ(StoredAttachments("Inbox"), Texts{"keep.pdf"});

    part.AttExcl().Clear();
    engine.Execute();
    EXPECT_TRUE(StoredAttachments("Inbox").empty());
    EXPECT_EQ(engine.FAttsDeleted, 1);
}

TEST_F(ReadUnreadDeleteTest, AttachmentWithoutANameFailsAnIncludeMaskThatNeedsACharacter)
{
    store.Builder().Add("Inbox", WithAttachments("Unnamed", {"", "a.pdf"}));
    FolderJob("Inbox");
    ASSERT_EQ(StoredAttachments("Inbox"), (Texts{"", "a.pdf"}));
    auto& part = engine.ManualOptions().DeleteAttachments();
    part.Active = true;
    part.AttIncl().Add("?*");
    engine.Execute();
    EXPECT_EQ(StoredAttachments("Inbox"), Texts{""});

    part.AttIncl().Clear();
    engine.Execute();
    EXPECT_TRUE(StoredAttachments("Inbox").empty()) << "an empty include list takes it too";
}

TEST_F(ReadUnreadDeleteTest, DefaultDeleteKeepsEmailsWithAttachments)
{
    store.Builder().Add("Inbox", WithAttachments("With", {"a.pdf"}));
    store.Builder().Add("Inbox", SimpleMessage("Without"));
    FolderJob("Inbox");
    auto& part = engine.ManualOptions().DeleteEmails();
    part.Active = true;
    part.DeleteWithoutAtt = true;
    part.DeleteWithAtt = false;
    engine.Execute();
    EXPECT_EQ(Subjects("Inbox"), Texts{"With"});
    EXPECT_EQ(Subjects("Deleted Items"), Texts{"Without"});
    EXPECT_EQ(engine.FEmailsDeleted, 1);
    EXPECT_NE(engine.GetResultText().find("\r\nE-mails deleted: 1   \r\n"), std::string::npos);
}

TEST_F(ReadUnreadDeleteTest, DeletingInsideDeletedItemsRemovesTheFiles)
{
    store.Builder().Add("Deleted Items", SimpleMessage("A"));
    const fs::path b = store.Builder().Add("Deleted Items", WithAttachments("B", {"a.pdf"}));
    FolderJob("Deleted Items");
    auto& part = engine.ManualOptions().DeleteEmails();
    part.Active = true;
    part.DeleteWithoutAtt = false;
    part.DeleteWithAtt = true;
    engine.Execute();
    EXPECT_FALSE(fs::exists(b));
    EXPECT_EQ(Subjects("Deleted Items"), Texts{"A"});
}

TEST_F(ReadUnreadDeleteTest, NineActionsInTheirOrder)
{
    test::HomeSandbox sandbox;
    store.Builder().Add("Inbox", WithAttachments("Report", {"a.pdf"}), "");
    for (const char* f : {"One", "Two", "Done"}) store.Builder().Folder(f);
    FolderJob("Inbox");
    TManualOptions& job = engine.ManualOptions();
    PointAt(job.CopyEmails1(), "One");
    job.ExportEmails().Active = true;
    job.ExportEmails().DestPath = (sandbox.Files() / "export").string();
    job.ExportEmails().Mask = "[B]";
    job.Reimport().Active = true;
    job.SaveAttachments().Active = true;
    job.SaveAttachments().DestPath = (sandbox.Files() / "atts").string();
    job.DeleteAttachments().Active = true;
    job.ReadUnread().Mode = 1;
    PointAt(job.CopyEmails2(), "Two");
    PointAt(job.MoveEmails(), "Done");
    job.DeleteEmails().Active = true;
    job.DeleteEmails().DeleteWithoutAtt = true;
    engine.Execute();

    ASSERT_TRUE(errors.empty()) << errors.front();
    Texts expected{"Copying to folder",  "Exporting e-mail",     "Reimporting attachments",
                   "Saving attachments", "Deleting attachments", "Marking e-mail as read/unread",
                   "Copying to folder",  "Moving to folder",     "Deleting e-mail"};
    Texts got = ActionSteps();
    std::erase_if(got, [](const std::string& s) { return s.rfind("Saving attachment ", 0) == 0; });
    EXPECT_EQ(got, expected);
    EXPECT_EQ(StoredAttachments("One"), Texts{"a.pdf"}) << "the first copy is taken before any change";
    EXPECT_TRUE(StoredAttachments("Two").empty()) << "the second copy after the attachments are gone";
    EXPECT_FALSE(store.Folder("Two")->Items()->Item(1)->Unread());
    EXPECT_TRUE(Subjects("Done").empty());
    EXPECT_EQ(Subjects("Deleted Items"), Texts{"Report"});
    EXPECT_EQ(engine.GetResultText(),
              "Folders inspected: 1   \r\nItems inspected: 1   \r\nE-mails processed: 1   \r\n"
              "\r\nE-mails copied: 2   \r\n"
              "\r\nE-mails exported: 1   \r\n"
              "\r\nAttachments skipped: 1   \r\nAttachments reimported: 0   \r\nE-Mails affected: 1   \r\n"
              "\r\nAttachments saved: 1   \r\nShortcuts created: 0   \r\n\r\nAttachments removed: 0   \r\n"
              "\r\nE-Mails affected: 1   \r\n"
              "\r\nAttachments deleted: 1   \r\nE-Mails affected: 1   \r\n"
              "\r\nE-mails set to read: 1   \r\n"
              "\r\nE-mails moved: 1   \r\n"
              "\r\nE-mails deleted: 1   \r\n");
}

}  // namespace
