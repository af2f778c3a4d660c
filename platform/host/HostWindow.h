#pragma once
// The mail client's window: the folder tree, the item list of the current folder, the
// toolbars (the add-ins put theirs there), the "Send" command and the options dialog. The
// shown folder and the selected items are the explorer's current folder and selection.

#include <QMainWindow>

#include "platform/host/MailClient.h"
#include "platform/office/CommandBars.h"

namespace host {

class CommandBarView;
class FolderTree;
class ItemList;

class HostWindow final : public QMainWindow {
    Q_OBJECT
public:
    /// Opens the explorer of the mail client: this window, carrying `commandBars`, showing
    /// the default store's Inbox.
    HostWindow(MailClient& client, ComPtr<office::_CommandBars> commandBars, QWidget* parent = nullptr);
    /// Closes the explorer.
    ~HostWindow() override;

    FolderTree& Folders() const { return *folders_; }
    ItemList& Items() const { return *items_; }
    CommandBarView& CommandBars() const { return *commandBarView_; }

    /// Reads the folders and the shown folder's items again.
    void Refresh();
    /// Sends the selected items, one send event each; returns how many were sent.
    int SendSelected();
    /// Opens the options dialog (modal).
    void OpenOptions();

private:
    void BuildMenus();
    void ShowInbox();
    void FolderChanged();
    void SelectionChanged();
    void ShowError(const std::string& text);

    MailClient& client_;
    FolderTree* folders_;
    ItemList* items_;
    CommandBarView* commandBarView_;
    ComPtr<office::IHostWindow> explorerWindow_;
    ComPtr<outlook::IMAPIFolder> shown_;
};

}  // namespace host
