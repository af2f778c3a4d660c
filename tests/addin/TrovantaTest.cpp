// The add-in object in the mail client host, built into the test: what its hooks set up and
// take down, the texts it shows, and its button.

#include <gtest/gtest.h>

#include "addin/AddInUserInterface.h"
#include "addin/QEL_OptionPageControl.h"
#include "addin/Trovanta.h"
#include "addin_framework/axpComServer.h"
#include "addin_framework/axpFactory.h"
#include "engine/MAPIUtils.h"
#include "jobs/DM_Global.h"
#include "jobs/ShortcutFolders.h"
#include "platform/host/HostWindow.h"
#include "platform/office/CommandBarsImpl.h"
#include "platform/runtime/Registry.h"
#include "tests/addin/AddInTestSupport.h"
#include "tests/engine/ShortcutTestSupport.h"
#include "tests/platform/qelutils/ServerFixture.h"
#include "tests/support/ui/ScriptedUserInterface.h"

namespace {

/// The add-in object connected to a mail client host over the fixture's store, as the mail
/// client connects it while it runs (the whole start-up inside the connection).
class TrovantaTest : public test::ServerFixture {
protected:
    explicit TrovantaTest(bool registerQelutils = true) : ServerFixture(registerQelutils)
    {
        InstallAddInUserInterface();
        bars_ = office::CreateCommandBars();
    }
    ~TrovantaTest() override
    {
        if (connected_) Disconnect();
        addIn_.Reset();
        window_.reset();
        client_.reset();
        SetAddInUserInterface(nullptr);
    }

    void Connect()
    {
        client_ = std::make_unique<host::MailClient>(registry_);
        window_ = std::make_unique<host::HostWindow>(*client_, bars_);
        addIn_ = factory_->CreateAddIn(server_.Module());
        office::SafeArray custom;
        ASSERT_EQ(addIn_->OnConnection(client_->OfficeApplication().Get(), office::ext_cm_AfterStartup,
                                       nullptr, &custom),
                  S_OK);
        connected_ = true;
    }
    void Disconnect()
    {
        office::SafeArray custom;
        EXPECT_EQ(addIn_->OnDisconnection(office::ext_dm_UserClosed, &custom), S_OK);
        connected_ = false;
    }
    /// Every message shown so far, for failure reports.
    std::string Shown() const
    {
        std::string shown;
        for (const ui::AskedMessage& m : scripted_->Messages) shown += m.Caption + "|" + m.Text + "\n";
        return shown;
    }
    TTrovanta& AddIn() const { return static_cast<TTrovanta&>(*addIn_); }
    ComPtr<office::CommandBarControl> Control(const std::string& tag) const
    {
        return bars_->FindControl(std::nullopt, std::nullopt, tag);
    }
    /// An e-mail in Drafts whose only attachment is a shortcut to a file that exists.
    ComPtr<outlook::IOutlookItem> DraftWithShortcut()
    {
        const std::string original = (files_.Path() / "Report.pdf").string();
        test::WriteFile(original, "the original");
        RememberShortcutFolder(files_.Path().string());
        test::TestMessage draft;
        draft.attachments = {test::ShortcutAttachment(original, "Report.pdf")};
        store_.Add("Drafts", test::MessageText(draft));
        const auto root = client_->Session().Folders()->Item(1);
        const auto items = host::SubfolderNamed(*root, "Drafts")->Items();
        return items->Item(items->Count());
    }

    ui::ScopedScriptedUi scripted_;
    TRegistry registry_;
    TaxpComServer server_{typelib::kLibraryName, {OptionPageClass()}};
    std::unique_ptr<TaxpFactory> factory_ = MakeTrovantaFactory(server_);
    ComPtr<office::_CommandBars> bars_;
    std::unique_ptr<host::MailClient> client_;
    std::unique_ptr<host::HostWindow> window_;
    ComPtr<TaxpAddIn> addIn_;
    bool connected_ = false;
    test::TempDir files_;
};

TEST_F(TrovantaTest, StartUpAddsTheToolbarWithItsButtonAndRemovesObsoleteButtons)
{
    const auto old = bars_->Add("Old tools");
    old->Controls()->Add(office::msoControlButton)->SetTag("QEL_IMPORT");
    old->Controls()->Add(office::msoControlButton)->SetTag("SOMEONE_ELSES");
    Connect();

    EXPECT_TRUE(scripted_->Messages.empty()) << Shown();
    EXPECT_FALSE(Control("QEL_IMPORT")) << "deleted for good";
    EXPECT_TRUE(Control("SOMEONE_ELSES"));
    const auto button = Control("QEL-Button").As<office::CommandBarButton>();
    ASSERT_TRUE(button);
    EXPECT_EQ(button->Parent()->Name(), "Trovanta");
    EXPECT_EQ(button->Parent()->Position(), office::msoBarTop);
    EXPECT_EQ(button->Caption(), "Trovanta");
    EXPECT_EQ(button->TooltipText(), "Save e-mails and extract attachments");
    EXPECT_EQ(button->Style(), office::msoButtonIconAndCaption);
    const office::Picture face = button->Face();
    ASSERT_EQ(face.Width, 16);
    ASSERT_EQ(face.Height, 16);
    EXPECT_EQ(face.Pixels[15 * 16] >> 24, 0u) << "the bottom-left pixel's colour is the transparent one";

    ASSERT_NE(AddInDMGlobal(), nullptr);
    EXPECT_FALSE(AddInDMGlobal()->BatchMode);
    ASSERT_NE(AddIn().MAPIUtils(), nullptr);
    EXPECT_TRUE(AddIn().MAPIUtils()->Connected());

    Disconnect();
    EXPECT_EQ(AddInDMGlobal(), nullptr);
    EXPECT_EQ(AddIn().MAPIUtils(), nullptr);
    EXPECT_TRUE(scripted_->Messages.empty()) << Shown();
}

TEST_F(TrovantaTest, TheSendHandlerIsLiveFromStartUpToShutdown)
{
    TSendOptions send;
    send.ReplaceMode = 1;
    send.SaveToRegistry(RegKeySend);
    Connect();
    const auto first = DraftWithShortcut();
    EXPECT_FALSE(client_->Host().RaiseItemSend(first));
    EXPECT_EQ(test::AttachmentNames(*first), std::vector<std::string>{"Report.pdf"});

    const auto second = DraftWithShortcut();
    office::SafeArray custom;
    EXPECT_EQ(addIn_->OnBeginShutdown(&custom), S_OK);
    EXPECT_FALSE(client_->Host().RaiseItemSend(second));
    EXPECT_EQ(test::AttachmentNames(*second), std::vector<std::string>{"Report-pdf.qel"})
        << "no handler any more";
}

TEST_F(TrovantaTest, TheButtonsTagOpensTheMainWindowWhateverTheCaseOfItsLetters)
{
    Connect();
    int opened = 0;
    addin_test::WhenWindowShows("FormMain", [&](QWidget& form) {
        ++opened;
        form.close();
    });
    AddIn().ControlClick("qel-button", Control("QEL-Button"));
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(addin_test::WindowExists("FormMain")) << "freed once closed";

    AddIn().ControlClick("QEL-Other", nullptr);
    EXPECT_TRUE(scripted_->Messages.empty()) << Shown();
}

class TrovantaWithoutServerTest : public TrovantaTest {
protected:
    TrovantaWithoutServerTest() : TrovantaTest(false) {}
};

TEST_F(TrovantaWithoutServerTest, AMissingServerIsReportedOnceAndTheRestStillWorks)
{
    Connect();
    ASSERT_EQ(scripted_->Messages.size(), 1u) << Shown();
    const ui::AskedMessage& box = scripted_->Messages[0];
    const std::string prefix = "The following problem occurred while initialising Trovanta:\r\n\r\n";
    EXPECT_EQ(box.Text.substr(0, prefix.size()), prefix);
    EXPECT_GT(box.Text.size(), prefix.size()) << "the server's reason follows";
    EXPECT_EQ(box.Caption, "Trovanta");
    EXPECT_EQ(box.Icon, ui::MsgIcon::Error);
    EXPECT_TRUE(Control("QEL-Button")) << "the toolbar is set up all the same";

    TSendOptions send;
    send.ReplaceMode = 1;
    send.SaveToRegistry(RegKeySend);
    const auto item = DraftWithShortcut();
    EXPECT_FALSE(client_->Host().RaiseItemSend(item));
    EXPECT_EQ(test::AttachmentNames(*item), std::vector<std::string>{"Report.pdf"});

    Disconnect();
    EXPECT_EQ(scripted_->Messages.size(), 1u) << Shown() << "shutting down asks the missing server nothing";
    EXPECT_EQ(AddInDMGlobal(), nullptr);
}

}  // namespace
