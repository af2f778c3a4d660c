#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <functional>
#include <stdexcept>

#include "platform/com/ComRuntime.h"
#include "platform/host/FolderTree.h"
#include "platform/host/HostWindow.h"
#include "platform/host/ItemList.h"
#include "platform/host/OptionsDialog.h"
#include "platform/host/SendCommand.h"
#include "platform/office/CommandBarsImpl.h"
#include "platform/runtime/Registry.h"
#include "tests/platform/qelutils/ServerFixture.h"
#include "tests/support/ui/ScriptedUserInterface.h"

namespace host {
namespace {

using outlook::IOutlookItem;

/// An add-in's view of the application's events, as a test sets them.
class RecordingEvents final : public ComObject<outlook::IApplicationEvents> {
public:
    std::function<void(const ComPtr<IOutlookItem>&, bool&)> onSend;
    std::function<void(const ComPtr<outlook::IPropertyPages>&)> onPages;
    void ItemSend(const ComPtr<IOutlookItem>& item, bool& cancel) override
    {
        if (onSend) onSend(item, cancel);
    }
    void OptionsPagesAdd(const ComPtr<outlook::IPropertyPages>& pages) override
    {
        if (onPages) onPages(pages);
    }
};

class HostWindowTest : public test::ServerFixture {
protected:
    HostWindowTest() : ServerFixture(false)
    {
        store_.Add("Inbox", test::SimpleMessage("First"));
        store_.Add("Inbox", test::SimpleMessage("Second"), "");
        store_.Add("Inbox", test::SimpleMessage("Third"));
        store_.Add("Inbox/Projects", test::SimpleMessage("Plan"));
        client_ = std::make_unique<MailClient>(registry_);
        window_ = std::make_unique<HostWindow>(*client_, office::CreateCommandBars());
        events_ = MakeCom<RecordingEvents>();
        cookie_ = client_->Application()->AdviseEvents(events_);
    }
    ~HostWindowTest() override
    {
        client_->Application()->UnadviseEvents(cookie_);
        window_.reset();
        client_.reset();
    }

    ComPtr<outlook::IExplorer> Explorer() const { return client_->Application()->ActiveExplorer(); }
    std::vector<std::string> SubjectsIn(const std::string& relPath) const
    {
        std::vector<std::string> subjects;
        for (const auto& file : store_.Files(relPath)) {
            const std::string text = test::ReadFile(file);
            const auto at = text.find("Subject: ");
            subjects.push_back(text.substr(at + 9, text.find('\n', at) - at - 9));
        }
        return subjects;
    }

    TRegistry registry_;
    std::unique_ptr<MailClient> client_;
    std::unique_ptr<HostWindow> window_;
    ComPtr<RecordingEvents> events_;
    std::uint32_t cookie_ = 0;
};

TEST_F(HostWindowTest, PublishesItsApplicationAsTheRunningMailClient)
{
    EXPECT_EQ(client_->PublishProblem(), "");
    const auto running = GetActiveOleObject<outlook::IOutlookApplication>(kApplicationProgID);
    EXPECT_EQ(running.As<IUnknown>(), client_->OfficeApplication().As<IUnknown>());
    EXPECT_EQ(running->ActiveExplorer()->CurrentFolder()->Name(), "Inbox") << "the same object model";
}

TEST_F(HostWindowTest, TheShownFolderAndTheSelectedRowsAreTheExplorersFolderAndSelection)
{
    ASSERT_TRUE(Explorer());
    EXPECT_EQ(Explorer()->CurrentFolder()->Name(), "Inbox");
    EXPECT_EQ(window_->Items().topLevelItemCount(), 3);
    EXPECT_EQ(Explorer()->Selection()->Count(), 0);
    EXPECT_TRUE(window_->Items().topLevelItem(1)->font(0).bold()) << "the unread item";

    window_->Items().SelectRows(1, 2);
    const auto selection = Explorer()->Selection();
    ASSERT_EQ(selection->Count(), 2);
    EXPECT_EQ(selection->Item(1)->Subject(), "Second");
    EXPECT_EQ(selection->Item(2)->Subject(), "Third");

    const auto projects = client_->Session().GetDefaultFolder(outlook::olFolderInbox)->Folders()->Item(1);
    ASSERT_TRUE(window_->Folders().SelectFolder(projects->EntryID(), projects->StoreID()));
    EXPECT_EQ(Explorer()->CurrentFolder()->Name(), "Projects");
    EXPECT_EQ(Explorer()->Selection()->Count(), 0) << "a new folder starts without selection";
    EXPECT_EQ(window_->windowTitle(), "Projects - Mail");

    window_.reset();
    EXPECT_FALSE(Explorer()) << "the explorer closes with the window";
}

TEST_F(HostWindowTest, SendRaisesTheEventAndFilesTheItemWithTheHandlersChangesInSentItems)
{
    std::vector<std::string> seen;
    events_->onSend = [&](const ComPtr<IOutlookItem>& item, bool&) {
        seen.push_back(item->Subject());
        item->SetSubject("Changed on send");
    };
    window_->Items().SelectRows(0, 0);
    EXPECT_EQ(window_->SendSelected(), 1);
    EXPECT_EQ(seen, std::vector<std::string>{"First"});
    EXPECT_EQ(SubjectsIn("Inbox"), (std::vector<std::string>{"Second", "Third"}));
    EXPECT_EQ(SubjectsIn("Sent Items"), std::vector<std::string>{"Changed on send"});
    EXPECT_EQ(window_->Items().topLevelItemCount(), 2) << "the list shows what is left";
}

TEST_F(HostWindowTest, ACancelledOrFailedSendLeavesTheItemWhereItIs)
{
    const ui::ScopedScriptedUi scripted;
    events_->onSend = [](const ComPtr<IOutlookItem>&, bool& cancel) { cancel = true; };
    window_->Items().SelectRows(0, 0);
    EXPECT_EQ(window_->SendSelected(), 0);
    EXPECT_TRUE(scripted->Messages.empty()) << "a cancel is silent";

    events_->onSend = [](const ComPtr<IOutlookItem>&, bool&) { throw ComError(E_FAIL, "Handler broke."); };
    EXPECT_EQ(window_->SendSelected(), 0);
    ASSERT_EQ(scripted->Messages.size(), 1u);
    EXPECT_EQ(scripted->Messages[0].Text, "The item was not sent: Handler broke.");
    EXPECT_EQ(SubjectsIn("Inbox"), (std::vector<std::string>{"First", "Second", "Third"}));
    EXPECT_FALSE(std::filesystem::exists(mail_ / "Sent Items"));
}

TEST_F(HostWindowTest, OptionsDialogListsTheStoresAndReportsPagesThatCannotBeMade)
{
    int raised = 0;
    events_->onPages = [&](const ComPtr<outlook::IPropertyPages>& pages) {
        ++raised;
        pages->Add("Nobody.NoSuchPage", "Missing");
    };
    OptionsDialog dialog(*client_->Application(), client_->Host());
    EXPECT_EQ(raised, 1);
    auto* tabs = dialog.findChild<QTabWidget*>("Pages");
    ASSERT_EQ(tabs->count(), 1);
    EXPECT_EQ(tabs->tabText(0), "Mail");
    EXPECT_EQ(dialog.findChild<QListWidget*>("StoreList")->item(0)->text(), "Mailbox");
    ASSERT_EQ(dialog.Problems().size(), 1u);
    EXPECT_NE(dialog.Problems()[0].find("An add-in failed to offer its options page: "), std::string::npos);
    EXPECT_FALSE(dialog.findChild<QLabel*>("ProblemLabel")->isHidden());
    EXPECT_TRUE(dialog.ApplyPages()) << "nothing to apply";

    OptionsDialog again(*client_->Application(), client_->Host());
    EXPECT_EQ(raised, 2) << "every dialog asks the add-ins again";
}

}  // namespace
}  // namespace host
