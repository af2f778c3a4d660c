// The reimport action in a manual job on a real store: original files back in place of
// shortcut attachments, interactively and in the batch program.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "jobs/DM_Global.h"
#include "tests/engine/JobTestSupport.h"
#include "tests/engine/ShortcutTestSupport.h"

namespace fs = std::filesystem;
using namespace prompt;
using Texts = std::vector<std::string>;

namespace {

class ReimportTest : public test::JobTest {
protected:
    ReimportTest()
    {
        engine.SetShortcutPrompts(&prompts);
        engine.ManualOptions().Reimport().Active = true;
    }
    std::string Original(const std::string& relPath)
    {
        const fs::path path = sandbox.Files() / relPath;
        test::WriteFile(path, "content of " + relPath);
        return path.string();
    }
    fs::path Mail(const std::string& subject, const std::vector<test::TestAttachment>& attachments)
    {
        test::TestMessage m;
        m.subject = subject;
        m.attachments = attachments;
        return store.Builder().Add("Inbox", test::MessageText(m));
    }
    Texts StoredAttachments(int index = 1)
    {
        store.Open();
        return test::AttachmentNames(*store.Folder("Inbox")->Items()->Item(index));
    }

    test::HomeSandbox sandbox;
    test::ScriptedPrompts prompts;
    test::TempDir scratch;
};

TEST_F(ReimportTest, ShortcutBecomesTheFileAgainAndTheEmailIsStored)
{
    const std::string target = Original("Docs/Report.pdf");
    Mail("Report", {{"notes.txt", "plain"}, test::ShortcutAttachment(target, "Report.pdf")});
    FolderJob("Inbox");
    engine.Execute();

    EXPECT_EQ(StoredAttachments(), (Texts{"notes.txt", "Report.pdf"}));
    EXPECT_EQ(test::AttachmentContent(*store.Folder("Inbox")->Items()->Item(1), 2, scratch),
              "content of Docs/Report.pdf");
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(engine.FAttsReimported, 1);
    EXPECT_EQ(engine.FAttsSkipped, 1) << "the ordinary attachment counts as skipped";
    EXPECT_EQ(engine.FReimportAffected, 1);
    EXPECT_EQ(engine.GetResultText(),
              "Folders inspected: 1   \r\nItems inspected: 1   \r\nE-mails processed: 1   \r\n"
              "\r\nAttachments skipped: 1   \r\nAttachments reimported: 1   \r\nE-Mails affected: 1   \r\n");
}

TEST_F(ReimportTest, OrdinaryAttachmentsAreSkippedAndTheEmailIsNotSaved)
{
    const fs::path file = Mail("Plain", {{"a.pdf", "A"}, {"b.txt", "B"}});
    store.Builder().Add("Inbox", test::SimpleMessage("No attachments"));
    FolderJob("Inbox");
    engine.Execute();
    EXPECT_TRUE(fs::exists(file)) << "not saved: the message file keeps its name";
    EXPECT_EQ(engine.FAttsSkipped, 2);
    EXPECT_EQ(engine.FAttsReimported, 0);
    EXPECT_EQ(engine.FReimportAffected, 1) << "an e-mail without attachments is not affected";
}

TEST_F(ReimportTest, MissingFileAsksWithoutTheRemoveChoice)
{
    const std::string gone = (sandbox.Files() / "gone.pdf").string();
    Mail("Gone", {test::ShortcutAttachment(gone, "gone.pdf")});
    FolderJob("Inbox");
    prompts.notFoundAnswers = {mrDontReplace};
    engine.Execute();
    EXPECT_EQ(prompts.asked, Texts{"notfound|gone-pdf.qel|" + gone + "|1|0"});
    EXPECT_EQ(StoredAttachments(), Texts{"gone-pdf.qel"});
    EXPECT_EQ(engine.FAttsSkipped, 1);
}

TEST_F(ReimportTest, BatchSkipsMissingFilesWithoutAnyQuestion)
{
    TDMGlobal dm;
    dm.BatchMode = true;
    engine.SetDMGlobal(&dm);
    engine.SetShortcutPrompts(nullptr);  // the batch program has nobody to ask
    const std::string present = Original("here.txt");
    Mail("Batch", {test::ShortcutAttachment((sandbox.Files() / "gone.pdf").string(), "gone.pdf"),
                   test::ShortcutAttachment(present, "here.txt")});
    FolderJob("Inbox");
    engine.Execute();
    EXPECT_EQ(StoredAttachments(), (Texts{"gone-pdf.qel", "here.txt"}));
    EXPECT_EQ(engine.FAttsReimported, 1);
    EXPECT_EQ(engine.FAttsSkipped, 1);
    EXPECT_TRUE(errors.empty());
}

TEST_F(ReimportTest, BatchPutsBackTheShortcutsOfAnyEarlierJobButNotAStrangers)
{
    const test::TempDir elsewhere;
    const std::string key = (elsewhere / "home/id_key").string();
    test::WriteFile(key, "private key");
    Mail("Own", {{"report.pdf", "%PDF own"}});
    Mail("Stranger", {test::ShortcutAttachment(key, "invoice.pdf")});
    FolderJob("Inbox");
    // An earlier job replaced the attachment by a shortcut to a folder of its own.
    engine.ManualOptions().Reimport().Active = false;
    TOptions_SaveAttachments& save = engine.ManualOptions().SaveAttachments();
    save.Active = true;
    save.DestPath = (elsewhere / "att").string();
    save.Mask = "[Y]\\[FE]";
    save.AfterSaveMode = 1;
    engine.Execute();
    ASSERT_EQ(engine.FShortcutsCreated, 1);

    // The reimport saves nothing itself.
    save = TOptions_SaveAttachments();
    engine.ManualOptions().Reimport().Active = true;
    TDMGlobal dm;
    dm.BatchMode = true;
    engine.SetDMGlobal(&dm);
    engine.Execute();
    EXPECT_EQ(StoredAttachments(1), Texts{"report.pdf"});
    EXPECT_EQ(StoredAttachments(2), Texts{"invoice-pdf.qel"});
    EXPECT_EQ(engine.FAttsReimported, 1);
    EXPECT_EQ(engine.FAttsSkipped, 1);
    EXPECT_EQ(
        errors,
        Texts{"Stranger: The shortcut points outside the folders that attachments are saved to: " + key});
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(ReimportTest, BatchIgnoresTheSearchPaths)
{
    TDMGlobal dm;
    dm.BatchMode = true;
    engine.SetDMGlobal(&dm);
    const std::string old = (sandbox.Files() / "Old").string();
    Original("New/a.txt");
    test::WriteFile(sandbox.SearchPathFile(), old + "=" + (sandbox.Files() / "New").string() + "\r\n");
    Mail("Moved", {test::ShortcutAttachment(old + "/a.txt", "a.txt")});
    FolderJob("Inbox");
    engine.Execute();
    EXPECT_EQ(StoredAttachments(), Texts{"a-txt.qel"});
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(ReimportTest, SearchPathsFindAMovedFileInTheInteractiveRun)
{
    const std::string old = (sandbox.Files() / "Old").string();
    Original("New/Sub/a.txt");
    test::WriteFile(sandbox.SearchPathFile(), old + "=" + (sandbox.Files() / "New").string() + "\r\n");
    Mail("Moved", {test::ShortcutAttachment(old + "/Sub/a.txt", "a.txt")});
    FolderJob("Inbox");
    engine.Execute();
    EXPECT_EQ(StoredAttachments(), Texts{"a.txt"});
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(ReimportTest, SearchPathsEditedForOneEmailServeTheNext)
{
    const std::string old = (sandbox.Files() / "Old").string();
    const std::string moved = (sandbox.Files() / "New").string();
    Original("New/a.txt");
    Original("New/b.txt");
    Mail("First", {test::ShortcutAttachment(old + "/a.txt", "a.txt")});
    Mail("Second", {test::ShortcutAttachment(old + "/b.txt", "b.txt")});
    FolderJob("Inbox");
    prompts.notFoundAnswers = {mrSearchPaths};
    prompts.editor = [&](const std::string& dir, TSearchPathList& list) {
        list.Add(dir + "=" + moved);
        return true;
    };
    engine.Execute();

    // The walk starts at the last item; the first e-mail then finds its file without a question.
    EXPECT_EQ(prompts.asked, (Texts{"notfound|b-txt.qel|" + old + "/b.txt|1|0", "edit|" + old + "/"}));
    EXPECT_EQ(test::ReadFile(sandbox.SearchPathFile()), old + "/=" + moved + "\r\n");
    EXPECT_EQ(StoredAttachments(1), Texts{"a.txt"});
    EXPECT_EQ(StoredAttachments(2), Texts{"b.txt"});
    EXPECT_EQ(engine.FAttsReimported, 2);
    EXPECT_EQ(engine.FAttsSkipped, 0);
    EXPECT_EQ(engine.FReimportAffected, 2);
}

TEST_F(ReimportTest, CancelEndsOnlyThatItem)
{
    const std::string gone = (sandbox.Files() / "gone.pdf").string();
    Mail("First", {test::ShortcutAttachment(Original("one.txt"), "one.txt")});
    Mail("Second", {test::ShortcutAttachment(Original("two.txt"), "two.txt"),
                    test::ShortcutAttachment(gone, "gone.pdf")});
    store.Builder().Folder("Done");
    FolderJob("Inbox");
    PointAt(engine.ManualOptions().MoveEmails(), "Done");
    prompts.notFoundAnswers = {mrCancel};
    engine.Execute();

    EXPECT_TRUE(errors.empty()) << "a cancel is no error";
    EXPECT_EQ(Subjects("Inbox"), Texts{"Second"}) << "the cancelled item skips its later actions";
    EXPECT_EQ(Subjects("Done"), Texts{"First"}) << "the run goes on with the next item";
    EXPECT_EQ(StoredAttachments(), (Texts{"two-txt.qel", "gone-pdf.qel"})) << "nothing of it was stored";
    EXPECT_EQ(engine.FAttsReimported, 1);
    EXPECT_EQ(engine.FEmailsMoved, 1);
}

}  // namespace
