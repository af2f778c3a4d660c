#include "platform/host/FolderTree.h"

#include <QHeaderView>
#include <QTreeWidgetItemIterator>

namespace host {

namespace {
constexpr int kEntryIDRole = Qt::UserRole;
constexpr int kStoreIDRole = Qt::UserRole + 1;
}  // namespace

FolderTree::FolderTree(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName("FolderTree");
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void FolderTree::Fill(outlook::INameSpace& session)
{
    session_ = &session;
    const QTreeWidgetItem* current = currentItem();
    const QString entryID = current ? current->data(0, kEntryIDRole).toString() : QString();
    const QString storeID = current ? current->data(0, kStoreIDRole).toString() : QString();
    const QSignalBlocker block(this);
    clear();
    AddFolders(nullptr, *session.Folders());
    expandToDepth(0);
    if (QTreeWidgetItem* again = FindItem(entryID, storeID)) setCurrentItem(again);
}

void FolderTree::AddFolders(QTreeWidgetItem* parent, outlook::IFolders& folders)
{
    for (int i = 1, n = folders.Count(); i <= n; ++i) {
        const auto folder = folders.Item(i);
        QTreeWidgetItem* item = AddFolder(parent, *folder);
        AddFolders(item, *folder->Folders());
    }
}

QTreeWidgetItem* FolderTree::AddFolder(QTreeWidgetItem* parent, outlook::IMAPIFolder& folder)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, QString::fromStdString(folder.Name()));
    item->setData(0, kEntryIDRole, QString::fromStdString(folder.EntryID()));
    item->setData(0, kStoreIDRole, QString::fromStdString(folder.StoreID()));
    return item;
}

ComPtr<outlook::IMAPIFolder> FolderTree::CurrentFolder() const
{
    const QTreeWidgetItem* item = currentItem();
    if (!item || !session_) return {};
    return session_->GetFolderFromID(item->data(0, kEntryIDRole).toString().toStdString(),
                                     item->data(0, kStoreIDRole).toString().toStdString());
}

bool FolderTree::SelectFolder(const std::string& entryID, const std::string& storeID)
{
    QTreeWidgetItem* item = FindItem(QString::fromStdString(entryID), QString::fromStdString(storeID));
    if (item) setCurrentItem(item);
    return item != nullptr;
}

QTreeWidgetItem* FolderTree::FindItem(const QString& entryID, const QString& storeID) const
{
    for (QTreeWidgetItemIterator it(const_cast<FolderTree*>(this)); *it; ++it) {
        if ((*it)->data(0, kEntryIDRole).toString() == entryID &&
            (*it)->data(0, kStoreIDRole).toString() == storeID)
            return *it;
    }
    return nullptr;
}

}  // namespace host
