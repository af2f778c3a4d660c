// The add-in's three event handlers on real stores, with the external server and the object
// model server registered: a new e-mail processed by the rules, an e-mail sent with shortcut
// attachments, the rules page offered to the options dialog.

#include <gtest/gtest.h>

#include <filesystem>

#include "addin/AddInEvents.h"
#include "engine/MAPIUtils.h"
#include "jobs/DM_Global.h"
#include "jobs/Options.h"
#include "jobs/ShortcutFolders.h"
#include "platform/com/ComRuntime.h"
#include "platform/outlook/PropertyPage.h"
#include "platform/runtime/Registry.h"
#include "tests/engine/ShortcutTestSupport.h"
#include "tests/platform/qelutils/ServerFixture.h"
#include "tests/support/ui/ScriptedUserInterface.h"

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

Names FilesIn(const fs::path& dir)
{
    Names names;
    if (fs::exists(dir))
        for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class AddInEventsTest : public test::ServerFixture {
protected:
    ComPtr<outlook::IOutlookApplication> Application() const
    {
        return CreateOleObject<outlook::IOutlookApplication>("Outlook.Application");
    }
    /// Stores the rules: the first exports e-mails whose subject names an invoice, the
    /// second saves the attachments of every other e-mail.
    void StoreRules(bool active)
    {
        TAutoOptions rules;
        rules.Active = active;
        TJobOptions& invoices = rules.Jobs().NewJob();
        invoices.Subject = "*Invoice*";
        invoices.ExportEmails().Active = true;
        invoices.ExportEmails().DestPath = exports_.Path().string();
        invoices.ExportEmails().SaveFormat = 3;
        TJobOptions& others = rules.Jobs().NewJob();
        others.SaveAttachments().Active = true;
        others.SaveAttachments().DestPath = attachments_.Path().string();
        others.SaveAttachments().Mask = "[FE]";
        rules.SaveToRegistry(RegKeyAuto);
    }
    void Arrive(const std::string& subject)
    {
        test::TestMessage message;
        message.subject = subject;
        message.attachments = {{"notes.txt", "some notes"}};
        store_.Add("Inbox", test::MessageText(message), "", true);
    }
    void NewMail()
    {
        TMAPIUtils mapiUtils;
        TDMGlobal dmGlobal;
        HandleNewMail(Application(), &mapiUtils, &dmGlobal, LastInboxItem());
    }

    ui::ScopedScriptedUi scripted_;
    test::TempDir exports_;
    test::TempDir attachments_;
};

TEST_F(AddInEventsTest, ANewEMailIsHandledByTheFirstRuleItMatchesOnly)
{
    StoreRules(true);
    Arrive("Invoice 42");
    NewMail();
    ASSERT_EQ(FilesIn(exports_.Path()).size(), 1u);
    EXPECT_EQ(fs::path(FilesIn(exports_.Path())[0]).extension(), ".eml");
    EXPECT_TRUE(FilesIn(attachments_.Path()).empty()) << "the second rule matches too, but comes second";

    Arrive("Minutes");
    NewMail();
    EXPECT_EQ(FilesIn(attachments_.Path()), Names{"notes.txt"});
    EXPECT_EQ(FilesIn(exports_.Path()).size(), 1u);
    EXPECT_TRUE(scripted_->Messages.empty());
}

TEST_F(AddInEventsTest, WithProcessingOffANewEMailIsLeftAlone)
{
    StoreRules(false);
    Arrive("Invoice 43");
    NewMail();
    EXPECT_TRUE(FilesIn(exports_.Path()).empty());
    EXPECT_TRUE(FilesIn(attachments_.Path()).empty());
    EXPECT_TRUE(scripted_->Messages.empty());
}

TEST_F(AddInEventsTest, AFailureOfTheRulesIsShownOnceWithTheTitleTrovanta)
{
    StoreRules(true);
    TAutoOptions rules;
    rules.LoadFromRegistry(RegKeyAuto);
    rules.Jobs().Jobs(1).SaveAttachments().DestPath = "";
    rules.SaveToRegistry(RegKeyAuto);
    Arrive("Invoice 44");
    NewMail();
    ASSERT_EQ(scripted_->Messages.size(), 1u);
    EXPECT_EQ(scripted_->Messages[0].Text,
              "Job 2\r\n\r\nSave attachments:\r\n\r\nDestination directory not specified.");
    EXPECT_EQ(scripted_->Messages[0].Caption, "Trovanta");
    EXPECT_EQ(scripted_->Messages[0].Icon, ui::MsgIcon::Error);
    EXPECT_TRUE(FilesIn(exports_.Path()).empty()) << "an invalid rule stops before anything runs";
}

class ItemSendTest : public AddInEventsTest {
protected:
    /// An e-mail being sent whose attachment is a shortcut to Report.pdf.
    ComPtr<outlook::IOutlookItem> Outgoing()
    {
        original_ = (files_.Path() / "Report.pdf").string();
        test::WriteFile(original_, "%PDF-1.4 the original");
        if (trusted_) RememberShortcutFolder(files_.Path().string());
        test::TestMessage message;
        message.attachments = {test::ShortcutAttachment(original_, "Report.pdf")};
        store_.Add("Drafts", test::MessageText(message));
        const auto app = Application();
        const auto root = app->GetNamespace("MAPI")->Folders()->Item(1);
        for (int i = 1; i <= root->Folders()->Count(); ++i)
            if (root->Folders()->Item(i)->Name() == "Drafts")
                return root->Folders()->Item(i)->Items()->Item(1);
        return nullptr;
    }
    void StoreReplaceMode(int mode)
    {
        TSendOptions options;
        options.ReplaceMode = static_cast<std::uint8_t>(mode);
        options.SaveToRegistry(RegKeySend);
    }
    int StoredReplaceMode()
    {
        TSendOptions options;
        options.LoadFromRegistry(RegKeySend);
        return options.ReplaceMode;
    }

    test::TempDir files_;
    test::TempDir scratch_;
    std::string original_;
    bool trusted_ = true;  ///< whether the system saved attachments into files_ before
    test::ScriptedPrompts prompts_;
};

TEST_F(ItemSendTest, AShortcutIsReplacedByItsOriginalFileBeforeTheEMailLeaves)
{
    StoreReplaceMode(1);
    const auto item = Outgoing();
    bool cancel = true;
    HandleItemSend(item, cancel, prompts_);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(test::AttachmentNames(*item), Names{"Report.pdf"});
    EXPECT_EQ(test::AttachmentContent(*item, 1, scratch_), "%PDF-1.4 the original");
    EXPECT_TRUE(prompts_.asked.empty());
    EXPECT_TRUE(scripted_->Messages.empty());
    EXPECT_EQ(StoredReplaceMode(), 1);
}

TEST_F(ItemSendTest, AStrangersShortcutLeavesAsItIsAndTheUserIsTold)
{
    StoreReplaceMode(1);
    trusted_ = false;
    const auto item = Outgoing();
    bool cancel = true;
    HandleItemSend(item, cancel, prompts_);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(test::AttachmentNames(*item), Names{"Report-pdf.qel"});
    ASSERT_EQ(scripted_->Messages.size(), 1u);
    EXPECT_EQ(scripted_->Messages[0].Text,
              "The shortcut points outside the folders that attachments are saved to: " + original_);
}

TEST_F(ItemSendTest, YesToAllIsRememberedSoThatLaterSendsNoLongerAsk)
{
    const auto item = Outgoing();  // no "Send" key yet: the default asks
    prompts_.confirmAnswers = {prompt::mrYesToAll};
    bool cancel = true;
    HandleItemSend(item, cancel, prompts_);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(prompts_.asked, Names{"confirm|Report-pdf.qel|" + original_});
    EXPECT_EQ(test::AttachmentNames(*item), Names{"Report.pdf"});
    EXPECT_EQ(StoredReplaceMode(), 1);
}

TEST_F(ItemSendTest, CancelInThePromptCancelsTheSendSilentlyAndTheOptionIsStillSaved)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(RegKeySend, true));
    reg.WriteString("ReplaceMode", "unreadable");  // reads as the default: ask
    reg.CloseKey();
    const auto item = Outgoing();
    prompts_.confirmAnswers = {prompt::mrCancel};
    bool cancel = false;
    HandleItemSend(item, cancel, prompts_);
    EXPECT_TRUE(cancel);
    EXPECT_TRUE(scripted_->Messages.empty());
    EXPECT_EQ(test::AttachmentNames(*item), Names{"Report-pdf.qel"});
    EXPECT_EQ(StoredReplaceMode(), 0) << "the option is written back, readable again";
}

TEST_F(ItemSendTest, ASendWithoutShortcutsLeavesTheEMailAsItIs)
{
    StoreReplaceMode(0);
    store_.Add("Drafts", test::SimpleMessage("Plain"));
    const auto item =
        Application()->GetNamespace("MAPI")->Folders()->Item(1)->Folders()->Item(1)->Items()->Item(1);
    ASSERT_EQ(item->Subject(), "Plain");
    bool cancel = true;
    HandleItemSend(item, cancel, prompts_);
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(prompts_.asked.empty());
    EXPECT_EQ(StoredReplaceMode(), 0);
}

TEST_F(ItemSendTest, AFailureCancelsTheSendAndSaysWhy)
{
    StoreReplaceMode(1);
    const auto item = Outgoing();
    // A registry that cannot be read or written: the option acts as the default, and saving
    // it back fails.
    test::WriteFile(sandbox_.Home() / "HKEY_CURRENT_USER.reg", "this is no registry file\n");
    prompts_.confirmAnswers = {prompt::mrYes};
    bool cancel = false;
    HandleItemSend(item, cancel, prompts_);
    EXPECT_TRUE(cancel);
    ASSERT_EQ(scripted_->Messages.size(), 1u);
    EXPECT_NE(scripted_->Messages[0].Text.find("HKEY_CURRENT_USER.reg"), std::string::npos)
        << scripted_->Messages[0].Text;
    EXPECT_EQ(scripted_->Messages[0].Caption, "Trovanta");
    EXPECT_EQ(scripted_->Messages[0].Icon, ui::MsgIcon::Error);
}

/// The options dialog's pages collection, as a test sees what is added to it.
class RecordingPages final : public ComObject<outlook::IPropertyPages> {
public:
    int Count() override { return static_cast<int>(added.size()); }
    void Add(const std::string& progID, const std::string& title) override
    {
        if (fail) throw ComError(E_FAIL, "Refused");
        added.push_back(progID + "|" + title);
    }
    Names added;
    bool fail = false;
};

/// Any object that is no pages collection.
class NotPages final : public ComObject<outlook::IPropertyPageSite> {
public:
    HRESULT OnStatusChange() override { return S_OK; }
};

TEST(OptionsPagesAdd, OffersTheRulesPageByItsProgIDToAPagesCollectionOnly)
{
    const auto pages = MakeCom<RecordingPages>();
    HandleOptionsPagesAdd(pages.As<IUnknown>());
    HandleOptionsPagesAdd(pages.As<IUnknown>());
    EXPECT_EQ(pages->added, (Names{"QELaddin.QEL_OptionPage|Trovanta", "QELaddin.QEL_OptionPage|Trovanta"}));

    HandleOptionsPagesAdd(nullptr);
    HandleOptionsPagesAdd(MakeCom<NotPages>().As<IUnknown>());

    pages->fail = true;
    EXPECT_THROW(HandleOptionsPagesAdd(pages.As<IUnknown>()), ComError);
}

}  // namespace
