// The save-attachments action on real stores: which attachments are saved and counted,
// attached e-mails opened and removed, shortcuts in place of saved files, and names that
// come from strangers.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/LnkTools.h"
#include "engine/MaskExpansion.h"
#include "jobs/FileTools.h"
#include "platform/com/ComError.h"
#include "platform/runtime/Exception.h"
#include "tests/engine/ActionFixture.h"

namespace fs = std::filesystem;

namespace {

using test::FilesBelow;
using test::MessageText;
using test::ReadFile;
using test::TestAttachment;
using test::TestMessage;

TestMessage Message(const std::string& subject, std::vector<TestAttachment> atts = {},
                    std::vector<std::string> attached = {})
{
    TestMessage m;
    m.subject = subject;
    m.attachments = std::move(atts);
    m.attachedMessages = std::move(attached);
    return m;
}

struct Counts {
    std::int32_t saved = 0, notSaved = 0, removed = 0, shortcuts = 0;
    bool operator==(const Counts&) const = default;
};

void PrintTo(const Counts& c, std::ostream* os)
{
    *os << "saved " << c.saved << ", not saved " << c.notSaved << ", removed " << c.removed << ", shortcuts "
        << c.shortcuts;
}

class SaveAttachmentsTest : public test::ActionTest {
protected:
    void SetUp() override
    {
        ActionTest::SetUp();
        part.Active = true;
        part.DestPath = Dest();
        part.Mask = "[FE]";
    }
    void Save(int n) { engine.SaveAttachments(Item(n), part); }
    /// The counts of one e-mail's walk, without the engine's counters.
    Counts Walk(const ComPtr<outlook::IOutlookItem>& item)
    {
        Counts c;
        engine.SaveItemAttachments(item, part, part.RecurseMSG, true, c.saved, c.notSaved, c.removed,
                                   c.shortcuts, 0);
        return c;
    }
    /// The bytes of the Inbox's only message file.
    std::string StoredBytes() { return ReadFile(store.Builder().Files("Inbox").at(0)); }

    TOptions_SaveAttachments part;
};

/// A link to a file on a share (type 2): the store only holds files and attached e-mails,
/// but the mail client's items can carry such links.
class LinkAttachment final : public ComObject<outlook::IAttachment> {
public:
    std::string Filename() override { return "\\\\server\\share\\link.pdf"; }
    std::string DisplayName() override { return "link.pdf"; }
    int Type() override { return 2; }
    void SaveAsFile(const std::string&) override { throw ComError(E_FAIL, "A link has no content."); }
    void Delete() override { deleted = true; }
    bool deleted = false;
};

/// The item's own attachments followed by one link.
class AttachmentsWithLink final : public ComObject<outlook::IAttachments> {
public:
    AttachmentsWithLink(ComPtr<outlook::IAttachments> real, ComPtr<LinkAttachment> link)
        : real_(std::move(real)), link_(std::move(link))
    {
    }
    int Count() override { return real_->Count() + 1; }
    ComPtr<outlook::IAttachment> Item(int index) override
    {
        if (index == Count()) return link_;
        return real_->Item(index);
    }
    ComPtr<outlook::IAttachment> Add(const std::string& path, int type, std::optional<int> position,
                                     std::optional<std::string> displayName) override
    {
        return real_->Add(path, type, position, displayName);
    }

private:
    ComPtr<outlook::IAttachments> real_;
    ComPtr<LinkAttachment> link_;
};

/// A real safe item whose attachments end with a link.
class ItemWithLink final : public ComObject<qelutils::ISafeItem> {
public:
    ItemWithLink(ComPtr<qelutils::ISafeItem> real, ComPtr<LinkAttachment> link)
        : real_(std::move(real)), link_(std::move(link))
    {
    }
    ComPtr<outlook::IAttachments> Attachments() override
    {
        return MakeCom<AttachmentsWithLink>(real_->Attachments(), link_);
    }
    void SetItem(const ComPtr<outlook::IOutlookItem>& item) override { real_->SetItem(item); }
    ComPtr<outlook::IOutlookItem> Item() override { return real_->Item(); }
    std::string Fields(std::uint32_t tag) override { return real_->Fields(tag); }
    int Class() override { return real_->Class(); }
    ComPtr<outlook::IOutlookObject> Parent() override { return real_->Parent(); }
    std::string Subject() override { return real_->Subject(); }
    void SetSubject(const std::string& subject) override { real_->SetSubject(subject); }
    std::string SenderName() override { return real_->SenderName(); }
    std::string SenderEmailAddress() override { return real_->SenderEmailAddress(); }
    std::string TransportHeaders() override { return real_->TransportHeaders(); }
    std::string Body() override { return real_->Body(); }
    std::string HTMLBody() override { return real_->HTMLBody(); }
    bool Sent() override { return real_->Sent(); }
    TDateTime SentOn() override { return real_->SentOn(); }
    TDateTime ReceivedTime() override { return real_->ReceivedTime(); }
    TDateTime CreationTime() override { return real_->CreationTime(); }
    bool Unread() override { return real_->Unread(); }
    void SetUnread(bool unread) override { real_->SetUnread(unread); }
    ComPtr<outlook::IRecipients> Recipients() override { return real_->Recipients(); }
    void Save() override { real_->Save(); }
    ComPtr<outlook::IOutlookItem> Copy() override { return real_->Copy(); }
    ComPtr<outlook::IOutlookItem> Move(const ComPtr<outlook::IMAPIFolder>& f) override
    {
        return real_->Move(f);
    }
    void Delete() override { real_->Delete(); }
    void SaveAs(const std::string& path, int type) override { real_->SaveAs(path, type); }

private:
    ComPtr<qelutils::ISafeItem> real_;
    ComPtr<LinkAttachment> link_;
};

TEST_F(SaveAttachmentsTest, LinkCountsAsNotSavedAndStays)
{
    AddMessage(Message("Mail", {{"a.pdf", "A"}}));
    const auto link = MakeCom<LinkAttachment>();
    part.AfterSaveMode = 2;
    EXPECT_EQ(Walk(MakeCom<ItemWithLink>(Item(1), link)), (Counts{1, 1, 1, 0}));
    EXPECT_FALSE(link->deleted);
    EXPECT_EQ(FilesBelow(Dest()), std::set<std::string>{"a.pdf"});
}

TEST_F(SaveAttachmentsTest, ShortcutFilesAreNeitherSavedNorCounted)
{
    AddMessage(
        Message("Mail", {{"report-pdf.qel", "L"}, {"old.LNK", "L"}, {"run.Pif", "L"}, {"a.pdf", "A"}}));
    EXPECT_EQ(Walk(Item(1)), (Counts{1, 0, 0, 0}));
    EXPECT_EQ(FilesBelow(Dest()), std::set<std::string>{"a.pdf"});
}

TEST_F(SaveAttachmentsTest, IncludeAndExcludeLists)
{
    AddMessage(Message("Mail", {{"a.pdf", "A"}, {"b.txt", "B"}, {"secret.pdf", "S"}}));
    part.AttIncl().Add("*.PDF");
    part.AttExcl().Add("secret*");
    EXPECT_EQ(Walk(Item(1)), (Counts{1, 2, 0, 0}));
    EXPECT_EQ(FilesBelow(Dest()), std::set<std::string>{"a.pdf"});
}

TEST_F(SaveAttachmentsTest, WithoutRecursionAnAttachedEmailIsAFileNamedAfterItsDisplayName)
{
    AddMessage(Message("Mail", {}, {MessageText(Message("Plan", {{"inner.pdf", "I"}}))}));
    part.Mask = "[F]_x.[E]";
    Save(1);
    EXPECT_EQ(FilesBelow(Dest()), std::set<std::string>{"Plan_x.msg"});
    EXPECT_FALSE(ReadFile(fs::path(Dest()) / "Plan_x.msg").empty());
    EXPECT_EQ(engine.FAttsSaved, 1);
    EXPECT_EQ(engine.FSaveAffected, 1);
    EXPECT_EQ(progress, (std::vector<std::string>{"Saving attachments", "Saving attachment Plan.msg"}));
}

TEST_F(SaveAttachmentsTest, FullySavedAttachedEmailIsRemovedAndCountsItsFiles)
{
    AddMessage(Message("Mail", {{"top.txt", "T"}},
                       {MessageText(Message("Plan", {{"a.pdf", "A"}, {"b.txt", "B"}}))}));
    part.RecurseMSG = true;
    part.AfterSaveMode = 2;
    Save(1);
    EXPECT_EQ(FilesBelow(Dest()), (std::set<std::string>{"top.txt", "a.pdf", "b.txt"}));
    EXPECT_EQ(ReadFile(fs::path(Dest()) / "b.txt"), "B");
    EXPECT_EQ(engine.FAttsSaved, 3);
    EXPECT_EQ(engine.FAttsRemoved, 3) << "the attached e-mail counts its two files";
    EXPECT_EQ(engine.FSaveAffected, 1);
    EXPECT_TRUE(AttachmentNames(*StoredItem(1)).empty());
    EXPECT_EQ(StoredItem(1)->Subject(), "Mail");
}

TEST_F(SaveAttachmentsTest, PartlySavedAttachedEmailStaysWhole)
{
    AddMessage(Message("Mail", {}, {MessageText(Message("Plan", {{"a.pdf", "A"}, {"b.txt", "B"}}))}));
    const std::string before = StoredBytes();
    part.RecurseMSG = true;
    part.AfterSaveMode = 2;
    part.AttExcl().Add("*.txt");
    Save(1);
    EXPECT_EQ(FilesBelow(Dest()), std::set<std::string>{"a.pdf"});
    EXPECT_EQ(engine.FAttsRemoved, 0);
    EXPECT_EQ(engine.FSaveAffected, 1);
    EXPECT_EQ(StoredBytes(), before) << "nothing removed, the e-mail is not saved";
}

TEST_F(SaveAttachmentsTest, AttachedEmailWithoutFilesIsKept)
{
    AddMessage(Message("Mail", {}, {MessageText(Message("Note"))}));
    const std::string before = StoredBytes();
    part.RecurseMSG = true;
    part.AfterSaveMode = 2;
    Save(1);
    EXPECT_TRUE(FilesBelow(out.Path()).empty());
    EXPECT_EQ(engine.FAttsRemoved, 0);
    EXPECT_EQ(engine.FSaveAffected, 0);
    EXPECT_EQ(StoredBytes(), before);
}

TEST_F(SaveAttachmentsTest, AttachedEmailsAreOpenedSixteenLevelsDeep)
{
    std::string text = MessageText(Message("L18", {{"deep.txt", "D"}}));
    for (int level = 17; level >= 1; --level)
        text = MessageText(Message("L" + std::to_string(level), {}, {text}));
    AddMessage(Message("Top", {}, {text}));
    part.RecurseMSG = true;
    Save(1);
    EXPECT_EQ(FilesBelow(Dest()), std::set<std::string>{"L17.msg"});
    EXPECT_EQ(engine.FAttsSaved, 1);
}

TEST_F(SaveAttachmentsTest, ShortcutsReplaceTheSavedAttachments)
{
    AddMessage(Message("Mail", {{"a.pdf", "A"}, {"notes", "N"}}));
    part.AfterSaveMode = 1;
    Save(1);
    EXPECT_EQ(engine.FShortcutsCreated, 2);
    EXPECT_EQ(engine.FAttsRemoved, 0);
    const auto stored = StoredItem(1);
    EXPECT_EQ(AttachmentNames(*stored), (std::vector<std::string>{"notes.qel", "a-pdf.qel"}));
    const auto atts = stored->Attachments();
    const std::string link = (out.Path() / "link.qel").string();
    atts->Item(2)->SaveAsFile(link);
    EXPECT_EQ(ReadShortcutTarget(link), Dest() + "/a.pdf");
    atts->Item(1)->SaveAsFile(link);
    EXPECT_EQ(ReadShortcutTarget(link), Dest() + "/notes");
    EXPECT_EQ(FilesBelow(JoinPath(GetTempDir(), "Trovanta")).count("a-pdf.qel"), 0u)
        << "shortcut files are removed";
}

TEST_F(SaveAttachmentsTest, BelowTheSizeLimitNothingIsSavedOrChangedInAnyMode)
{
    for (int mode = 0; mode <= 2; ++mode)
        AddMessage(Message("Mail", {{"small.bin", std::string(10239, 's')}}));
    part.SaveOnlyIfSize = true;
    part.SaveOnlyIfSizeKB = 10;
    for (int mode = 0; mode <= 2; ++mode) {
        part.AfterSaveMode = static_cast<std::uint8_t>(mode);
        Save(mode + 1);
        EXPECT_EQ(AttachmentNames(*StoredItem(mode + 1)), std::vector<std::string>{"small.bin"}) << mode;
    }
    EXPECT_TRUE(FilesBelow(out.Path()).empty());
    EXPECT_EQ(engine.FSaveAffected, 0);
    EXPECT_EQ(engine.FAttsSaved + engine.FAttsRemoved + engine.FShortcutsCreated, 0);
}

TEST_F(SaveAttachmentsTest, EmailWithEveryAttachmentPassedOverIsNotSaved)
{
    AddMessage(Message("Mail", {{"a.txt", "A"}, {"b.txt", "B"}}));
    const std::string before = StoredBytes();
    part.AttExcl().Add("*.txt");
    part.AfterSaveMode = 2;
    Save(1);
    EXPECT_EQ(engine.FSaveAffected, 0);
    EXPECT_EQ(StoredBytes(), before);
}

TEST_F(SaveAttachmentsTest, HostileNamesStayInTheDestinationFolder)
{
    AddMessage(
        Message("..\\..\\up",
                {{"../../evil.txt", "1"}, {"..", "2"}, {"/etc/passwd", "3"}, {"a\\\\..\\\\..\\\\b.txt", "4"}},
                {MessageText(Message("..\\..\\..\\inner"))}));
    part.Mask = "[B]\\[FE]";
    Save(1);
    // The attached e-mail comes first (last to first) and makes the folder NA; the attachment
    // named ".." is then numbered.
    EXPECT_EQ(FilesBelow(out.Path()),
              (std::set<std::string>{"dest/NA/NA/up/evil.txt", "dest/NA/NA/up/NA - 2", "dest/NA/NA/up/passwd",
                                     "dest/NA/NA/up/b.txt", "dest/NA/NA/up/NA/NA/NA/inner.msg"}));
}

TEST_F(SaveAttachmentsTest, AFailureLeavesTheActionWithoutCountingOrSaving)
{
    AddMessage(Message("Mail", {{std::string(250, 'n') + ".pdf", "L"}, {"a.pdf", "A"}}));
    const std::string before = StoredBytes();
    part.AfterSaveMode = 2;
    try {
        Save(1);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), PathTooLongMessage);
    }
    EXPECT_EQ(FilesBelow(Dest()), std::set<std::string>{"a.pdf"}) << "the last attachment comes first";
    EXPECT_EQ(engine.FAttsSaved + engine.FAttsRemoved + engine.FSaveAffected, 0);
    EXPECT_EQ(StoredBytes(), before);
}

TEST_F(SaveAttachmentsTest, DuplicateNamesAndOverwrite)
{
    AddMessage(Message("Mail", {{"a.pdf", "1"}, {"a.pdf", "2"}}));
    Save(1);
    EXPECT_EQ(FilesBelow(Dest()), (std::set<std::string>{"a.pdf", "a - 2.pdf"}));
    EXPECT_EQ(ReadFile(fs::path(Dest()) / "a.pdf"), "2") << "last to first";
    part.DuplicateMode = 1;
    Save(1);
    EXPECT_EQ(FilesBelow(Dest()), (std::set<std::string>{"a.pdf", "a - 2.pdf"}));
    EXPECT_EQ(ReadFile(fs::path(Dest()) / "a.pdf"), "1");
    // Attachments that leave the e-mail keep a file each: the files from before are overwritten,
    // the one this run wrote is not.
    part.AfterSaveMode = 2;
    Save(1);
    EXPECT_EQ(FilesBelow(Dest()), (std::set<std::string>{"a.pdf", "a - 2.pdf"}));
    EXPECT_EQ(ReadFile(fs::path(Dest()) / "a.pdf"), "2");
    EXPECT_EQ(ReadFile(fs::path(Dest()) / "a - 2.pdf"), "1");
    EXPECT_TRUE(AttachmentNames(*StoredItem(1)).empty());
}

TEST_F(SaveAttachmentsTest, NamesKeepTheirUtf8Text)
{
    AddMessage(Message("Grüße", {{"Bericht für Jörg – 2024.pdf", "R"}}));
    part.Mask = "[B]\\[F]_[E1].[E]";
    Save(1);
    EXPECT_EQ(FilesBelow(Dest()), std::set<std::string>{"Grüße/Bericht für Jörg – 2024_p.pdf"});
    EXPECT_EQ(progress.back(), "Saving attachment Bericht für Jörg – 2024.pdf");
}

}  // namespace
