// The send capture on e-mails of a real store: shortcuts replaced by their files, the
// replace modes, the prompts and their answers, and the search paths.

#include "engine/SendCapture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "jobs/FileTools.h"
#include "platform/com/ComError.h"
#include "platform/runtime/Exception.h"
#include "tests/engine/EngineFixture.h"
#include "tests/engine/ShortcutTestSupport.h"

namespace fs = std::filesystem;
using namespace prompt;
using Names = std::vector<std::string>;

namespace {

/// An attachment that writes its content, then fails, as a full disk would.
class FailingSave final : public ComObject<outlook::IAttachment> {
public:
    explicit FailingSave(ComPtr<outlook::IAttachment> inner) : inner_(std::move(inner)) {}
    std::string Filename() override { return inner_->Filename(); }
    std::string DisplayName() override { return inner_->DisplayName(); }
    int Type() override { return inner_->Type(); }
    void SaveAsFile(const std::string& path) override
    {
        inner_->SaveAsFile(path);
        savedTo = path;
        throw ComError(E_FAIL, "Disk full");
    }
    void Delete() override { inner_->Delete(); }
    std::string savedTo;

private:
    ComPtr<outlook::IAttachment> inner_;
};

/// The attachments of an item whose Add fails (after noting that the file to attach was
/// there), or, with failSave, whose attachments fail to save.
class FailingAttachments final : public ComObject<outlook::IAttachments> {
public:
    explicit FailingAttachments(ComPtr<outlook::IAttachments> inner) : inner_(std::move(inner)) {}
    int Count() override { return inner_->Count(); }
    ComPtr<outlook::IAttachment> Item(int index) override
    {
        if (!failSave) return inner_->Item(index);
        saving = MakeCom<FailingSave>(inner_->Item(index));
        return saving;
    }
    ComPtr<outlook::IAttachment> Add(const std::string& path, int, std::optional<int>,
                                     std::optional<std::string>) override
    {
        addedFileExisted = fs::is_regular_file(path);
        throw ComError(E_FAIL, "Attachment refused");
    }
    bool failSave = false;
    bool addedFileExisted = false;
    ComPtr<FailingSave> saving;

private:
    ComPtr<outlook::IAttachments> inner_;
};

class SendCaptureTest : public ::testing::Test {
protected:
    SendCaptureTest() { capture.TrustedFolders() = LoadSavedFolders(); }
    /// An original file below the sandbox's file folder.
    std::string Original(const std::string& relPath, const std::string& content = "")
    {
        const fs::path path = sandbox.Files() / relPath;
        test::WriteFile(path, content.empty() ? "content of " + relPath : content);
        return path.string();
    }
    /// Stores one message with these attachments and opens it as the item being sent.
    ComPtr<outlook::IOutlookItem> Mail(const std::vector<test::TestAttachment>& attachments)
    {
        test::TestMessage m;
        m.attachments = attachments;
        store.Builder().Add("Inbox", test::MessageText(m));
        store.Open();
        return store.Folder("Inbox")->Items()->Item(1);
    }
    bool ReplaceLast(const ComPtr<outlook::IOutlookItem>& item, bool keep = true, bool remove = true)
    {
        const auto attachments = item->Attachments();
        return capture.ReplaceShortcut(attachments, attachments->Count(), keep, remove);
    }
    fs::path WorkDir() const { return fs::path(GetTempDir()) / "Trovanta"; }

    test::HomeSandbox sandbox;
    test::StoreFixture store;
    test::ScriptedPrompts prompts;
    TSendCapture capture{prompts};
    test::TempDir scratch;
};

TEST_F(SendCaptureTest, AlwaysReplaceAttachesTheFileUnderItsOldNameWithoutAQuestion)
{
    const std::string target = Original("Docs/Report.pdf", "%PDF-1.4 original bytes");
    const auto item = Mail({{"notes.txt", "plain"}, test::ShortcutAttachment(target, "Report.pdf")});
    capture.Options().ReplaceMode = 1;
    capture.ProcessItem(item);

    EXPECT_EQ(test::AttachmentNames(*item), (Names{"notes.txt", "Report.pdf"}));
    EXPECT_EQ(test::AttachmentContent(*item, 2, scratch), "%PDF-1.4 original bytes");
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_TRUE(fs::is_empty(WorkDir())) << "working copies are deleted again";
}

TEST_F(SendCaptureTest, LeftoverFileInTheWorkingFolderNumbersTheAttachedCopy)
{
    const std::string target = Original("Report.pdf");
    test::WriteFile(WorkDir() / "Report.pdf", "leftover");
    const auto item = Mail({test::ShortcutAttachment(target, "Report.pdf")});
    capture.Options().ReplaceMode = 1;
    EXPECT_TRUE(ReplaceLast(item));
    EXPECT_EQ(test::AttachmentNames(*item), Names{"Report_2.pdf"});
    EXPECT_EQ(test::ReadFile(WorkDir() / "Report.pdf"), "leftover");
    EXPECT_FALSE(fs::exists(WorkDir() / "Report_2.pdf"));
}

TEST_F(SendCaptureTest, OriginalNameComesBackFromTheShortcutName)
{
    const std::string target = Original("x.bin");
    const auto item =
        Mail({test::ShortcutAttachment(target, "a.b.c"), test::ShortcutAttachment(target, "my-notes")});
    capture.Options().ReplaceMode = 1;
    capture.ProcessItem(item);
    // my-notes.qel reads back as my.notes: the shortcut's name cannot tell the two apart.
    EXPECT_EQ(test::AttachmentNames(*item), (Names{"my.notes", "a.b.c"}));
}

TEST_F(SendCaptureTest, SendersNamesNeverLeaveTheWorkingFolder)
{
    const std::string target = Original("x.bin", "original");
    test::TestAttachment up = test::ShortcutAttachment(target, "x.bin");
    up.fileName = "../../up-txt.qel";
    test::TestAttachment back = test::ShortcutAttachment(target, "x.bin");
    back.fileName = "..\\..\\back-txt.qel";
    test::TestAttachment dots = test::ShortcutAttachment(target, "x.bin");
    dots.fileName = "..-.qel";
    const auto item = Mail({up, back, dots});
    capture.Options().ReplaceMode = 1;
    capture.ProcessItem(item);
    const Names names = test::AttachmentNames(*item);
    ASSERT_EQ(names.size(), 3u);
    for (const std::string& name : names) {
        EXPECT_EQ(name.find_first_of("/\\"), std::string::npos) << name;
        EXPECT_NE(name.find_first_not_of(". "), std::string::npos) << name;
    }
    EXPECT_TRUE(fs::is_empty(WorkDir()));
    EXPECT_FALSE(fs::exists(fs::path(GetTempDir()) / "up.txt"));
    EXPECT_FALSE(fs::exists(sandbox.Files().parent_path() / "up.txt"));
}

TEST_F(SendCaptureTest, FailuresPassOnUnchangedAndLeaveNoWorkingCopy)
{
    const std::string target = Original("Report.pdf");
    const auto item = Mail({test::ShortcutAttachment(target, "Report.pdf")});
    capture.Options().ReplaceMode = 1;
    const auto failing = MakeCom<FailingAttachments>(item->Attachments());
    try {
        capture.ReplaceShortcut(failing, 1, true, true);
        FAIL() << "no error";
    } catch (const ComError& e) {
        EXPECT_STREQ(e.what(), "Attachment refused");
    }
    EXPECT_TRUE(failing->addedFileExisted);
    EXPECT_TRUE(fs::is_empty(WorkDir())) << "the copy to attach is deleted again";
    EXPECT_EQ(test::AttachmentNames(*item), Names{"Report-pdf.qel"}) << "the shortcut stays";

    failing->failSave = true;
    EXPECT_THROW(capture.ReplaceShortcut(failing, 1, true, true), ComError);
    ASSERT_TRUE(failing->saving);
    EXPECT_EQ(fs::path(failing->saving->savedTo).filename(), "QEL.lnk");
    EXPECT_TRUE(fs::is_empty(WorkDir())) << "the copy of the shortcut is deleted again";
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(SendCaptureTest, OnlyExistingRegularFilesInModeThree)
{
    const fs::path fifo = sandbox.Files() / "pipe";
    fs::create_directories(sandbox.Files() / "folder.pdf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto item = Mail({test::ShortcutAttachment((sandbox.Files() / "gone.pdf").string(), "gone.pdf"),
                            test::ShortcutAttachment((sandbox.Files() / "folder.pdf").string(), "folder.pdf"),
                            test::ShortcutAttachment(fifo.string(), "pipe"),
                            test::ShortcutAttachment("/dev/null", "null.bin")});
    capture.Options().ReplaceMode = 3;
    for (int i = 4; i >= 1; --i) {
        EXPECT_FALSE(capture.ReplaceShortcut(item->Attachments(), i, true, false)) << i;
    }
    EXPECT_EQ(test::AttachmentNames(*item),
              (Names{"gone-pdf.qel", "folder-pdf.qel", "pipe.qel", "null-bin.qel"}));
    EXPECT_TRUE(prompts.asked.empty()) << "mode 3 never asks";
}

TEST_F(SendCaptureTest, StrangersShortcutsToFilesOutsideTheSavedFoldersStayUnasked)
{
    const test::TempDir home;
    const std::string key = (home / "id_key").string();
    test::WriteFile(key, "private key");
    fs::create_symlink(key, sandbox.Files() / "innocent.pdf");
    test::WriteFile(sandbox.Files().string() + "-sibling/x.pdf", "sibling");
    const std::string sibling = sandbox.Files().string() + "-sibling/x.pdf";
    const std::string link = (sandbox.Files() / "innocent.pdf").string();
    const std::string own = Original("own.pdf", "own file");
    for (const int mode : {1, 3}) {
        SCOPED_TRACE(mode);
        const auto item =
            Mail({test::ShortcutAttachment(key, "id_key"), test::ShortcutAttachment(link, "a.pdf"),
                  test::ShortcutAttachment(sibling, "x.pdf"), test::ShortcutAttachment(own, "own.pdf")});
        capture.Options().ReplaceMode = static_cast<std::uint8_t>(mode);
        Names refused;
        capture.OnShortcutRefused = [&](const std::string& msg) { refused.push_back(msg); };
        for (int i = 4; i >= 1; --i)
            EXPECT_EQ(capture.ReplaceShortcut(item->Attachments(), i, true, false), i == 4);
        EXPECT_EQ(test::AttachmentNames(*item), (Names{"id_key.qel", "a-pdf.qel", "x-pdf.qel", "own.pdf"}));
        const std::string text = "The shortcut points outside the folders that attachments are saved to: ";
        EXPECT_EQ(refused, (Names{text + sibling, text + link, text + key}));
    }
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(SendCaptureTest, AskingShowsWhereTheFileReallyIsAndTheUserDecides)
{
    const test::TempDir home;
    const std::string key = (home / "id_key").string();
    test::WriteFile(key, "private key");
    fs::create_symlink(key, sandbox.Files() / "innocent.pdf");
    const std::string outside = (home / "b.txt").string();
    test::WriteFile(outside, "outside");
    const auto item = Mail({test::ShortcutAttachment(outside, "b.txt"),
                            test::ShortcutAttachment((sandbox.Files() / "innocent.pdf").string(), "a.pdf")});
    capture.Options().ReplaceMode = 0;
    prompts.confirmAnswers = {mrYesToAll};
    Names refused;
    capture.OnShortcutRefused = [&](const std::string& msg) { refused.push_back(msg); };
    capture.ProcessItem(item);
    // Answered for the first: it is attached; "Yes to all" does not take the unseen second.
    EXPECT_EQ(prompts.asked, Names{"confirm|a-pdf.qel|" + CanonicalPath(key)});
    EXPECT_EQ(test::AttachmentNames(*item), (Names{"b-txt.qel", "a.pdf"}));
    EXPECT_EQ(refused.size(), 1u);
}

TEST_F(SendCaptureTest, FolderOrDeviceTargetIsNotFoundWhenAsking)
{
    fs::create_directories(sandbox.Files() / "dir.pdf");
    const std::string folder = (sandbox.Files() / "dir.pdf").string();
    const auto item = Mail(
        {test::ShortcutAttachment("/dev/null", "null.txt"), test::ShortcutAttachment(folder, "dir.pdf")});
    capture.Options().ReplaceMode = 1;
    prompts.notFoundAnswers = {mrDontReplace, mrDontReplace};
    capture.ProcessItem(item);
    EXPECT_EQ(prompts.asked,
              (Names{"notfound|dir-pdf.qel|" + folder + "|1|1", "notfound|null-txt.qel|/dev/null|1|1"}));
    EXPECT_EQ(test::AttachmentNames(*item), (Names{"null-txt.qel", "dir-pdf.qel"}));
}

TEST_F(SendCaptureTest, YesToAllAnswersTheRemainingShortcuts)
{
    std::vector<test::TestAttachment> atts;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        atts.push_back(test::ShortcutAttachment(Original(name), name));
    const auto item = Mail(atts);
    capture.Options().ReplaceMode = 0;
    prompts.confirmAnswers = {mrYesToAll};
    capture.ProcessItem(item);
    EXPECT_EQ(prompts.asked, Names{"confirm|c-txt.qel|" + (sandbox.Files() / "c.txt").string()});
    EXPECT_EQ(test::AttachmentNames(*item), (Names{"c.txt", "b.txt", "a.txt"}));
    EXPECT_EQ(capture.Options().ReplaceMode, 1);
}

TEST_F(SendCaptureTest, NoKeepsTheShortcutAndYesReplacesIt)
{
    const auto item = Mail({test::ShortcutAttachment(Original("a.txt"), "a.txt"),
                            test::ShortcutAttachment(Original("b.txt"), "b.txt")});
    capture.Options().ReplaceMode = 0;
    prompts.confirmAnswers = {mrNo, mrYes};
    capture.ProcessItem(item);
    EXPECT_EQ(test::AttachmentNames(*item), (Names{"b-txt.qel", "a.txt"}));
    EXPECT_EQ(capture.Options().ReplaceMode, 0);
}

TEST_F(SendCaptureTest, CancelEndsEverythingButKeepsWhatWasDone)
{
    const auto item = Mail({test::ShortcutAttachment(Original("a.txt"), "a.txt"),
                            test::ShortcutAttachment(Original("b.txt"), "b.txt")});
    capture.Options().ReplaceMode = 0;
    prompts.confirmAnswers = {mrYes, mrCancel};
    try {
        capture.ProcessItem(item);
        FAIL() << "no abort";
    } catch (const EAbort& e) {
        EXPECT_STREQ(e.what(), "User break.");
    }
    EXPECT_EQ(test::AttachmentNames(*item), (Names{"a-txt.qel", "b.txt"}));
}

TEST_F(SendCaptureTest, SearchPathFileFindsAMovedFolder)
{
    const std::string old = (sandbox.Files() / "Old").string();
    const std::string moved = Original("New/Sub/a.txt", "moved content");
    test::WriteFile(sandbox.SearchPathFile(), old + "=" + (sandbox.Files() / "Gone").string() + "\r\n" + old +
                                                  "=" + (sandbox.Files() / "New").string() + "\r\n");
    const auto item = Mail({test::ShortcutAttachment(old + "/Sub/a.txt", "a.txt")});
    capture.Options().ReplaceMode = 1;
    capture.ProcessItem(item);
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(test::AttachmentNames(*item), Names{"a.txt"});
    EXPECT_EQ(test::AttachmentContent(*item, 1, scratch), "moved content");
    EXPECT_EQ(capture.SearchPaths().Count(), 2);
}

TEST_F(SendCaptureTest, EditedSearchPathsAreSavedAndSearchedAgain)
{
    const std::string old = (sandbox.Files() / "Old").string();
    Original("New/a.txt");
    const auto item = Mail({test::ShortcutAttachment(old + "/a.txt", "a.txt")});
    capture.Options().ReplaceMode = 1;
    int edits = 0;
    prompts.editor = [&](const std::string& dir, TSearchPathList& list) {
        // The first edit is cancelled and saves nothing; the second adds the pair.
        if (++edits == 1) return false;
        EXPECT_FALSE(fs::exists(sandbox.SearchPathFile())) << "a cancelled edit is not saved";
        list.Add(dir + "=" + (sandbox.Files() / "New").string());
        return true;
    };
    prompts.notFoundAnswers = {mrSearchPaths, mrSearchPaths};
    capture.ProcessItem(item);
    EXPECT_EQ(prompts.asked, (Names{"notfound|a-txt.qel|" + old + "/a.txt|1|1", "edit|" + old + "/",
                                    "notfound|a-txt.qel|" + old + "/a.txt|1|1", "edit|" + old + "/"}));
    EXPECT_EQ(test::AttachmentNames(*item), Names{"a.txt"});
    EXPECT_EQ(test::ReadFile(sandbox.SearchPathFile()),
              old + "/=" + (sandbox.Files() / "New").string() + "\r\n");
}

TEST_F(SendCaptureTest, SearchPathEditorOffersTheFolderOfAWindowsTarget)
{
    const auto item = Mail({test::ShortcutAttachment("C:\\Docs\\Old\\a.txt", "a.txt")});
    capture.Options().ReplaceMode = 1;
    prompts.editor = [](const std::string&, TSearchPathList&) { return false; };
    prompts.notFoundAnswers = {mrSearchPaths, mrDontReplace};
    capture.ProcessItem(item);
    ASSERT_GE(prompts.asked.size(), 2u);
    EXPECT_EQ(prompts.asked[1], "edit|C:\\Docs\\Old\\");
}

TEST_F(SendCaptureTest, NotFoundAnswersKeepRemoveAndCancel)
{
    const std::string gone = (sandbox.Files() / "gone.txt").string();
    const auto item =
        Mail({test::ShortcutAttachment(gone, "keep.txt"), test::ShortcutAttachment(gone, "drop.txt"),
              test::ShortcutAttachment(gone, "stop.txt")});
    capture.Options().ReplaceMode = 1;
    prompts.notFoundAnswers = {mrRemoveAtt, mrDontReplace};
    EXPECT_FALSE(ReplaceLast(item));  // stop.txt: removed, nothing attached
    EXPECT_FALSE(capture.ReplaceShortcut(item->Attachments(), 2, true, true));  // drop.txt: kept
    EXPECT_EQ(test::AttachmentNames(*item), (Names{"keep-txt.qel", "drop-txt.qel"}));
    prompts.notFoundAnswers = {mrCancel};
    EXPECT_THROW(capture.ReplaceShortcut(item->Attachments(), 1, true, false), EAbort);
    EXPECT_EQ(prompts.asked.back(), "notfound|keep-txt.qel|" + gone + "|1|0");
}

TEST_F(SendCaptureTest, WhatIsNoReadableShortcutIsLeftAloneWithoutAQuestion)
{
    const auto item = Mail({{"Report.pdf", "%PDF"}, {"fake.QEL", "not a shell link"}});
    capture.Options().ReplaceMode = 0;
    capture.ProcessItem(item);
    EXPECT_EQ(test::AttachmentNames(*item), (Names{"Report.pdf", "fake.QEL"}));
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(SendCaptureTest, NeverModeAndNonMailItemsAreSentUnchanged)
{
    const std::string target = Original("a.txt");
    test::TestMessage m;
    m.attachments = {test::ShortcutAttachment(target, "a.txt")};
    store.Builder().Add("Inbox", test::MessageText(m));
    store.Builder().Add("Inbox", test::MeetingRequest("Meeting"));
    store.Open();
    const auto items = store.Folder("Inbox")->Items();
    capture.Options().ReplaceMode = 2;
    capture.ProcessItem(items->Item(1));
    EXPECT_EQ(test::AttachmentNames(*items->Item(1)), Names{"a-txt.qel"});

    capture.Options().ReplaceMode = 1;
    const auto meeting = items->Item(2);
    ASSERT_NE(meeting->Class(), outlook::olMail);
    const Names before = test::AttachmentNames(*meeting);
    capture.ProcessItem(meeting);
    EXPECT_EQ(test::AttachmentNames(*meeting), before);
}

TEST(SendCaptureConfirm, ByReplaceMode)
{
    test::ScriptedPrompts prompts;
    TSendCapture capture(prompts);
    for (const int mode : {1, 3}) {
        capture.Options().ReplaceMode = static_cast<std::uint8_t>(mode);
        EXPECT_TRUE(capture.ConfirmReplace("a-txt.qel", "/x/a.txt")) << mode;
    }
    for (const int mode : {2, 4, 255}) {
        capture.Options().ReplaceMode = static_cast<std::uint8_t>(mode);
        EXPECT_FALSE(capture.ConfirmReplace("a-txt.qel", "/x/a.txt")) << mode;
    }
    EXPECT_TRUE(prompts.asked.empty());
}

TEST(BatchShortcutPrompts, LeaveEverythingAsItIs)
{
    TBatchShortcutPrompts batch;
    TSearchPathList list;
    EXPECT_EQ(batch.ConfirmReplace("a", "b"), mrNo);
    EXPECT_EQ(batch.ShowFileNotFound("a", "b", true, true), mrDontReplace);
    EXPECT_EQ(batch.ShowFileNotFound("a", "b", false, true), mrCancel);
    EXPECT_FALSE(batch.EditSearchPaths("/x/", list));
}

}  // namespace
