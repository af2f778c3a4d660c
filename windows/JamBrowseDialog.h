#pragma once
// The dialog that TJamBrowseForFolder shows: the title, a tree of the namespace below a root
// item (the desktop with the home folder, the documents and the computer; a special folder; or
// a folder on disk), an optional edit box, "OK" and "Cancel". Folders are read when they are
// first opened.

#include <QDialog>

#include <functional>
#include <string>

#include "windows/JAMDialogs.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TJamBrowseDialog final : public QDialog {
    Q_OBJECT

public:
    TJamBrowseDialog(QWidget* Owner, const TItemIdList& Root, const std::string& Title,
                     TJamBrowseFlags Flags);

    /// Called once, when the dialog is first shown: the place to position it and select the
    /// first item.
    std::function<void(QDialog* Window)> OnInitialized;

    /// Opens the folders down to the item and selects it; false (and nothing changed) when the
    /// tree does not hold it.
    bool SelectItem(const TItemIdList& Target);

    /// Shows the dialog modally: the chosen item, or none when cancelled.
    PItemIDList Run();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const TItemIdList& list, const std::string& name);
    void Populate(QTreeWidgetItem* item);
    void AddFolderEntries(QTreeWidgetItem* item, const std::string& folder);
    QTreeWidgetItem* FindChild(QTreeWidgetItem* item, const TItemIdList& target);
    QTreeWidgetItem* NextStep(QTreeWidgetItem* item, const std::string& targetPath);
    void Select(QTreeWidgetItem* item);
    void SelectionChanged();
    PItemIDList Chosen() const;

    TJamBrowseFlags FFlags;
    QLabel* FLabelTitle;
    QTreeWidget* FTreeView;
    QLineEdit* FEditName = nullptr;
    QPushButton* FButtonOK;
    bool FInitialized = false;
};
