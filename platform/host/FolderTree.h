#pragma once
// The folder tree of the mail client's window: one branch per store, its folders below.

#include <QTreeWidget>

#include "platform/outlook/Outlook.h"

namespace host {

class FolderTree final : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderTree(QWidget* parent = nullptr);

    /// Reads the folders of every store of `session` again; the folder shown before stays
    /// current when it still exists.
    void Fill(outlook::INameSpace& session);
    /// The folder of the current branch; empty when none.
    ComPtr<outlook::IMAPIFolder> CurrentFolder() const;
    /// Makes the folder with this identity current; false when the tree has no such folder.
    bool SelectFolder(const std::string& entryID, const std::string& storeID);

private:
    void AddFolders(QTreeWidgetItem* parent, outlook::IFolders& folders);
    QTreeWidgetItem* AddFolder(QTreeWidgetItem* parent, outlook::IMAPIFolder& folder);
    QTreeWidgetItem* FindItem(const QString& entryID, const QString& storeID) const;

    outlook::INameSpace* session_ = nullptr;
};

}  // namespace host
