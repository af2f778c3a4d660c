// The add-in library as the mail client meets it: registered with the real regsvr, loaded by
// the host through the registry, its toolbar button, the new-mail and item-send events on real
// stores, and its rules page in the host's options dialog.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QLabel>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "addin/AddInResources.h"
#include "addin/TypeLibrary.h"
#include "engine/LnkTools.h"
#include "jobs/Options.h"
#include "jobs/ShortcutFolders.h"
#include "platform/com/ComRuntime.h"
#include "platform/host/AddInManager.h"
#include "platform/host/CommandBarView.h"
#include "platform/host/FolderTree.h"
#include "platform/host/HostWindow.h"
#include "platform/host/ItemList.h"
#include "platform/host/OptionsDialog.h"
#include "platform/office/CommandBarsImpl.h"
#include "platform/runtime/Registry.h"
#include "tests/addin/AddInTestSupport.h"
#include "tests/engine/ShortcutTestSupport.h"
#include "tests/platform/qelutils/ServerFixture.h"
#include "tests/support/TempDir.h"
#include "tests/support/ui/Screenshot.h"

namespace fs = std::filesystem;
using addin_test::WhenWindowShows;

namespace {

constexpr char kAddInKey[] = "\\Software\\Microsoft\\Office\\Outlook\\AddIns\\QELaddin.Trovanta";

std::string AddInValue(const std::string& name)
{
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(kAddInKey)) return "<no key>";
    return reg.ReadString(name);
}

class AddInHostTest : public test::ServerFixture {
protected:
    AddInHostTest() { test::RunRegsvr(ADDIN_LIBRARY_PATH); }
    ~AddInHostTest() override
    {
        addIns_.reset();
        window_.reset();
        client_.reset();
    }

    /// The mail client with its window and its add-ins, as trovanta-host starts it.
    void StartHost()
    {
        client_ = std::make_unique<host::MailClient>(registry_);
        window_ = std::make_unique<host::HostWindow>(*client_, office::CreateCommandBars());
        addIns_ = std::make_unique<host::AddInManager>(client_->OfficeApplication());
        addIns_->StartUp();
        window_->CommandBars().Render();
        window_->show();
    }
    QAction* Button() const { return window_->findChild<QAction*>(QString::fromLatin1("QEL-Button")); }

    /// Runs the event loop until `done` holds; a message box that shows meanwhile fails the
    /// test (with its text) and is closed.
    bool WaitFor(const std::function<bool()>& done, int milliseconds = 15000)
    {
        const QDeadlineTimer deadline(milliseconds);
        while (!done()) {
            if (deadline.hasExpired()) return false;
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "message: " << box->text().toStdString();
                box->close();
            }
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        return true;
    }

    TRegistry registry_;
    std::unique_ptr<host::MailClient> client_;
    std::unique_ptr<host::HostWindow> window_;
    std::unique_ptr<host::AddInManager> addIns_;
};

TEST_F(AddInHostTest, RegsvrRegistersBothClassesTheTypeLibraryAndTheAddInUnderTheMailClientsKey)
{
    EXPECT_EQ(ProgIDToClassID("QELaddin.Trovanta"), typelib::CLASS_Trovanta);
    EXPECT_EQ(ProgIDToClassID("QELaddin.QEL_OptionPage"), typelib::CLASS_QEL_OptionPage);
    EXPECT_EQ(AddInValue("FriendlyName"), "Trovanta");
    EXPECT_EQ(AddInValue("Description"), "Save e-mails and extract attachments");
    EXPECT_EQ(AddInValue("ADXStartMode"), "FIRSTSTART");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(kAddInKey));
    EXPECT_EQ(reg.ReadInteger("LoadBehavior"), 3);
    reg.CloseKey();
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\TypeLib\\{A43D79BB-B1E6-4BE7-9BDA-73B99BA6AC55}\\1.0"));
    EXPECT_EQ(reg.ReadString(""), "QELaddin Library");
    reg.CloseKey();
    EXPECT_TRUE(reg.KeyExists("\\Interface\\{39119841-BC1B-40C3-BED8-36011629EF55}"));
    const std::string library = test::ReadFile(ADDIN_LIBRARY_PATH);
    for (const std::string field : {"FileVersion=4.1.0.1", "ProductVersion=4.1",
                                    "FileDescription=Extract e-mails and attachments from Outlook",
                                    "OriginalFilename=QELaddin.dll", "ProductName=Trovanta"})
        EXPECT_NE(library.find(field + '\0'), std::string::npos) << "version information: " << field;

    test::RunRegsvr(std::string("/u ") + ADDIN_LIBRARY_PATH);
    EXPECT_FALSE(reg.KeyExists("\\TypeLib\\{A43D79BB-B1E6-4BE7-9BDA-73B99BA6AC55}"));
    EXPECT_FALSE(reg.KeyExists("\\QELaddin.QEL_OptionPage"));
    EXPECT_EQ(AddInValue("FriendlyName"), "<no key>");
}

// The real mail client program across sessions: the toolbar shows at every start, also over a
// registration made again and after an uninstall and a reinstall; the uninstall leaves no
// toolbar of the add-in in the saved command bars.
TEST_F(AddInHostTest, TheHostProgramShowsTheToolbarInEverySessionAlsoAfterAReinstall)
{
    const auto toolbarShown = [] {
        const auto run = test::RunProgram(std::string("QT_QPA_PLATFORM=offscreen ") + TROVANTA_HOST_PATH +
                                          " --quit-when-idle");
        EXPECT_EQ(run.exitCode, 0) << run.output;
        return run.output.find("toolbar: Trovanta\n") != std::string::npos;
    };
    const fs::path bars = sandbox_.Home().Path() / "Outlook Explorer.cmdbars";
    EXPECT_TRUE(toolbarShown()) << "first start";
    EXPECT_TRUE(toolbarShown()) << "second start";
    test::RunRegsvr(ADDIN_LIBRARY_PATH);
    EXPECT_TRUE(toolbarShown()) << "registered again over the installed add-in";
    EXPECT_EQ(AddInValue("CmdBars"), "Trovanta\\") << "the toolbar found is the add-in's";

    test::RunRegsvr(std::string("/u ") + ADDIN_LIBRARY_PATH);
    EXPECT_EQ(test::ReadFile(bars).find("Name=Trovanta"), std::string::npos) << test::ReadFile(bars);
    test::RunRegsvr(ADDIN_LIBRARY_PATH);
    EXPECT_TRUE(toolbarShown()) << "after the reinstall";
    EXPECT_EQ(AddInValue("Trovanta"), "UserClose");
}

TEST_F(AddInHostTest, TheHostLoadsTheAddInWhichShowsItsToolbarButton)
{
    store_.Add("Inbox", test::SimpleMessage("Quarterly report"));
    store_.Add("Inbox", test::SimpleMessage("Invoice 42"), "");
    store_.Folder("Inbox/Projects");
    StartHost();
    EXPECT_TRUE(addIns_->Problems().empty()) << addIns_->Problems().front();
    ASSERT_EQ(addIns_->Connections().size(), 1u);
    auto* toolbar = window_->findChild<QToolBar*>("Trovanta");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_TRUE(toolbar->isVisible());
    QAction* button = Button();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "Trovanta");
    EXPECT_EQ(button->toolTip(), "Save e-mails and extract attachments");
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_EQ(AddInValue("ADXStartMode"), "NORMAL");
    test::ScreenshotIfAsked(*window_, "host-with-addin");

    addIns_->ShutDown();
    window_->CommandBars().Render();
    EXPECT_EQ(window_->findChild<QToolBar*>("Trovanta"), nullptr) << "hidden when the mail client shuts down";
}

TEST_F(AddInHostTest, TheButtonOpensTheMainJobWindowEachTimeAfresh)
{
    StartHost();
    ASSERT_NE(Button(), nullptr);
    int opened = 0;
    for (int click = 0; click < 2; ++click) {
        WhenWindowShows("FormMain", [&](QWidget& form) {
            ++opened;
            if (opened == 1) test::ScreenshotIfAsked(form, "main-window-from-host");
            const QLabel* image = form.findChild<QLabel*>("Image1");
            EXPECT_EQ(image->pixmap().toImage(), AddInIcon().pixmap(32, 32).toImage())
                << "the picture is the add-in's icon";
            form.findChild<QPushButton*>("ButtonCancel")->click();
        });
        Button()->trigger();
        ASSERT_TRUE(WaitFor([&] { return opened == click + 1; }));
    }
    EXPECT_TRUE(WaitFor([] { return !addin_test::WindowExists("FormMain"); }))
        << "the window is freed when it closes";
}

TEST_F(AddInHostTest, ANewEMailInTheInboxIsProcessedByTheRules)
{
    const test::TempDir exports;
    TAutoOptions rules;
    rules.Active = true;
    TJobOptions& rule = rules.Jobs().NewJob();
    rule.Subject = "*Invoice*";
    rule.ExportEmails().Active = true;
    rule.ExportEmails().DestPath = exports.Path().string();
    rule.ExportEmails().SaveFormat = 3;
    rule.ExportEmails().Mask = "[B]";
    rules.SaveToRegistry(RegKeyAuto);
    store_.Folder("Inbox");
    StartHost();

    // Delivered the way a mail program delivers: written in tmp/, moved into new/.
    const fs::path written = mail_ / "Inbox" / "tmp" / "1717423500.M1P1.test";
    test::WriteFile(written, test::SimpleMessage("Invoice 42"));
    fs::rename(written, mail_ / "Inbox" / "new" / "1717423500.M1P1.test");
    EXPECT_TRUE(WaitFor([&] { return fs::exists(exports.Path() / "Invoice 42.eml"); }));
}

TEST_F(AddInHostTest, AnEMailSentWithAShortcutLeavesWithTheOriginalFile)
{
    const test::TempDir files;
    const std::string original = (files.Path() / "Report.pdf").string();
    test::WriteFile(original, "%PDF-1.4 the original");
    RememberShortcutFolder(files.Path().string());
    test::TestMessage draft;
    draft.subject = "Report attached";
    draft.attachments = {test::ShortcutAttachment(original, "Report.pdf")};
    store_.Add("Drafts", test::MessageText(draft));
    TSendOptions send;
    send.ReplaceMode = 1;
    send.SaveToRegistry(RegKeySend);
    StartHost();

    const auto root = client_->Session().Folders()->Item(1);
    const auto drafts = host::SubfolderNamed(*root, "Drafts");
    ASSERT_TRUE(window_->Folders().SelectFolder(drafts->EntryID(), drafts->StoreID()));
    window_->Items().SelectRows(0, 0);
    EXPECT_EQ(window_->SendSelected(), 1);

    const auto sent = host::SubfolderNamed(*root, "Sent Items")->Items();
    ASSERT_EQ(sent->Count(), 1);
    EXPECT_EQ(test::AttachmentNames(*sent->Item(1)), std::vector<std::string>{"Report.pdf"});
    const test::TempDir scratch;
    EXPECT_EQ(test::AttachmentContent(*sent->Item(1), 1, scratch), "%PDF-1.4 the original");
}

TEST_F(AddInHostTest, TheRulesPageSitsInTheOptionsDialogAndRefusesProcessingWithoutRules)
{
    StartHost();
    host::OptionsDialog dialog(*client_->Application(), client_->Host(), window_.get());
    EXPECT_TRUE(dialog.Problems().empty()) << dialog.Problems().front();
    auto* tabs = dialog.findChild<QTabWidget*>("Pages");
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(1), "Trovanta");
    QWidget* page = tabs->widget(1)->findChild<QWidget*>("QEL_OptionPage");
    ASSERT_NE(page, nullptr);
    QPushButton* apply = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Apply);
    EXPECT_FALSE(apply->isEnabled());

    dialog.show();
    tabs->setCurrentIndex(1);
    page->findChild<QCheckBox*>("CheckActive")->click();
    EXPECT_TRUE(apply->isEnabled()) << "the page told the dialog about its change";
    EXPECT_GE(page->height(), 450) << "the page gets the height it asks for";
    test::ScreenshotIfAsked(dialog, "options-dialog-rules-page");
    // The about window is the add-in library's own class: it is known by its name only.
    const auto aboutShown = std::make_shared<bool>(false);
    WhenWindowShows("FormAbout", [aboutShown](QWidget& about) {
        *aboutShown = true;
        test::ScreenshotIfAsked(about, "about-from-rules-page");
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&about, &escape);
    });
    QLabel* info = page->findChild<QLabel*>("LabelInfo");
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(info, &press);
    QApplication::sendEvent(info, &release);
    EXPECT_TRUE(*aboutShown);

    QString refusal;
    QTimer::singleShot(0, [&refusal] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            refusal = box->windowTitle() + "|" + box->text();
            box->accept();
        }
    });
    dialog.accept();
    EXPECT_EQ(
        refusal.toStdString(),
        "Trovanta|If you want to process incoming e-mails, then you must add at least one job definition to "
        "the list.");
    EXPECT_EQ(dialog.result(), QDialog::Rejected) << "the dialog stays open";
    TRegistry reg;
    EXPECT_FALSE(reg.KeyExists(RegKeyAuto));

    page->findChild<QCheckBox*>("CheckActive")->click();
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(reg.KeyExists(RegKeyAuto));
}

}  // namespace
