#include "platform/host/HostWindow.h"

#include <QAction>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>

#include "platform/host/CommandBarView.h"
#include "platform/host/FolderTree.h"
#include "platform/host/ItemList.h"
#include "platform/host/OptionsDialog.h"
#include "platform/host/SendCommand.h"
#include "platform/office/OutlookHost.h"
#include "platform/ui/UserInterface.h"

namespace host {

namespace {
constexpr const char* kCaption = "Mail";
}

HostWindow::HostWindow(MailClient& client, ComPtr<office::_CommandBars> commandBars, QWidget* parent)
    : QMainWindow(parent),
      client_(client),
      folders_(new FolderTree),
      items_(new ItemList),
      commandBarView_(new CommandBarView(*this, commandBars))
{
    setObjectName("HostWindow");
    setWindowTitle(kCaption);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(folders_);
    splitter->addWidget(items_);
    splitter->setStretchFactor(1, 3);
    setCentralWidget(splitter);
    BuildMenus();
    statusBar();
    connect(folders_, &QTreeWidget::currentItemChanged, this, &HostWindow::FolderChanged);
    connect(items_, &QTreeWidget::itemSelectionChanged, this, &HostWindow::SelectionChanged);
    folders_->Fill(client_.Session());
    ShowInbox();
    explorerWindow_ =
        client_.OfficeApplication().As<office::IOutlookHostWindows>()->OpenExplorer(commandBars);
    commandBarView_->Render();
    resize(900, 560);
}

HostWindow::~HostWindow()
{
    // The explorer closes with its window.
    client_.Host().SetExplorer(nullptr, {});
    client_.OfficeApplication().As<office::IOutlookHostWindows>()->Close(explorerWindow_);
}

void HostWindow::BuildMenus()
{
    QMenu* file = menuBar()->addMenu("&File");
    QAction* send = file->addAction("&Send", this, [this] { SendSelected(); });
    send->setObjectName("ActionSend");
    send->setShortcut(QKeySequence("Ctrl+Return"));
    file->addSeparator();
    file->addAction("E&xit", this, &QWidget::close)->setObjectName("ActionExit");
    QMenu* view = menuBar()->addMenu("&View");
    QAction* refresh = view->addAction("&Refresh", this, &HostWindow::Refresh);
    refresh->setObjectName("ActionRefresh");
    refresh->setShortcut(QKeySequence::Refresh);
    QMenu* tools = menuBar()->addMenu("&Tools");
    tools->addAction("&Options...", this, &HostWindow::OpenOptions)->setObjectName("ActionOptions");
}

void HostWindow::ShowInbox()
{
    try {
        const auto inbox = client_.Session().GetDefaultFolder(outlook::olFolderInbox);
        folders_->SelectFolder(inbox->EntryID(), inbox->StoreID());
    } catch (const std::exception& e) {
        statusBar()->showMessage(QString::fromStdString(e.what()));
    }
}

void HostWindow::FolderChanged()
{
    try {
        shown_ = folders_->CurrentFolder();
        items_->ShowFolder(shown_);
        client_.Host().SetExplorer(shown_, {});
        setWindowTitle(shown_ ? QString::fromStdString(shown_->Name()) + " - " + kCaption : kCaption);
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
}

void HostWindow::SelectionChanged()
{
    try {
        client_.Host().SetExplorer(shown_, items_->SelectedItems());
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
}

void HostWindow::Refresh()
{
    try {
        folders_->Fill(client_.Session());
        FolderChanged();
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
}

int HostWindow::SendSelected()
{
    int sent = 0;
    int cancelled = 0;
    for (const auto& item : items_->SelectedItems()) {
        try {
            if (SendItem(client_, item) == SendResult::Sent)
                ++sent;
            else
                ++cancelled;
        } catch (const std::exception& e) {
            ++cancelled;
            ShowError(std::string("The item was not sent: ") + e.what());
        }
    }
    statusBar()->showMessage(QString("%1 sent, %2 not sent").arg(sent).arg(cancelled));
    if (sent > 0) Refresh();
    return sent;
}

void HostWindow::OpenOptions()
{
    try {
        OptionsDialog dialog(*client_.Application(), client_.Host(), this);
        dialog.exec();
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
}

void HostWindow::ShowError(const std::string& text)
{
    ui::ShowMessage(this, text, kCaption, ui::MsgIcon::Error);
}

}  // namespace host
