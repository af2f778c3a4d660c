#include "windows/OutlookFolderPicker.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

namespace {

using outlook::IMAPIFolder;

/// The folder tree of a namespace, one top-level entry per store; an item's data is the index
/// of its folder in `folders`.
class FolderTreeDialog : public QDialog {
public:
    FolderTreeDialog(QWidget* parent, outlook::INameSpace& ns) : QDialog(parent)
    {
        setWindowTitle(QStringLiteral("Select Folder"));
        setObjectName(QStringLiteral("OutlookFolderPicker"));
        auto* layout = new QVBoxLayout(this);
        tree_ = new QTreeWidget(this);
        tree_->setObjectName(QStringLiteral("TreeFolders"));
        tree_->setHeaderHidden(true);
        layout->addWidget(tree_);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ButtonOK"));
        buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("ButtonCancel"));
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(tree_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
        AddFolders(nullptr, ns.Folders());
        tree_->expandToDepth(0);
        if (tree_->topLevelItemCount() > 0) tree_->setCurrentItem(tree_->topLevelItem(0));
        resize(360, 420);
    }

    ComPtr<IMAPIFolder> Chosen() const
    {
        const QTreeWidgetItem* item = tree_->currentItem();
        if (!item) return nullptr;
        return folders_[static_cast<std::size_t>(item->data(0, Qt::UserRole).toULongLong())];
    }

private:
    void AddFolders(QTreeWidgetItem* parent, const ComPtr<outlook::IFolders>& folders)
    {
        if (!folders) return;
        const int count = folders->Count();
        for (int i = 1; i <= count; ++i) {
            ComPtr<IMAPIFolder> folder = folders->Item(i);
            auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
            item->setText(0, QString::fromStdString(folder->Name()));
            item->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(folders_.size()));
            folders_.push_back(folder);
            AddFolders(item, folder->Folders());
        }
    }

    QTreeWidget* tree_;
    std::vector<ComPtr<IMAPIFolder>> folders_;
};

ComPtr<IMAPIFolder> ChooseInDialog(QWidget* parent, outlook::INameSpace& ns)
{
    FolderTreeDialog dialog(parent, ns);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    return dialog.Chosen();
}

TOutlookFolderChooser& InstalledChooser()
{
    static TOutlookFolderChooser chooser;
    return chooser;
}

}  // namespace

TOutlookFolderChooser SetOutlookFolderChooser(TOutlookFolderChooser chooser)
{
    TOutlookFolderChooser previous = std::move(InstalledChooser());
    InstalledChooser() = std::move(chooser);
    return previous;
}

ComPtr<IMAPIFolder> PickOutlookFolder(QWidget* parent, outlook::IOutlookApplication& app)
{
    const ComPtr<outlook::INameSpace> ns = app.GetNamespace("MAPI");
    if (const TOutlookFolderChooser& chooser = InstalledChooser()) return chooser(parent, *ns);
    return ChooseInDialog(parent, *ns);
}
