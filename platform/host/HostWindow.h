#pragma once
// The mail client's window: the folder tree, the item list of the current folder, the
// toolbars (the add-ins put theirs there), the "Send" command and the options dialog. The
// shown folder and the selected items are the explorer's current folder and selection.

#include <QMainWindow>

#include "platform/host/MailClient.h"

class QAction;

namespace host {

class FolderTree;
class ItemList;

class HostWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit HostWindow(MailClient& client, QWidget* parent = nullptr);
    ~HostWindow() override;

    FolderTree& Folders() const { return *folders_; }
    ItemList& Items() const { return *items_; }

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
    ComPtr<outlook::IMAPIFolder> shown_;
};

}  // namespace host
