#pragma once
// The editor of the search path list: one row per pair of an original root folder and a new
// root folder, in the order they are tried. Pairs are added, edited, removed and moved up or
// down; OK writes the rows back into the window's own list.

#include <QDialog>

#include <string>

#include "jobs/SearchPathList.h"

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TFormEditSearchPaths final : public QDialog {
    Q_OBJECT

public:
    explicit TFormEditSearchPaths(QWidget* Owner = nullptr);

    /// The window's own list: the caller fills it before Execute and reads it after true.
    TSearchPathList& SearchPaths() noexcept { return FSearchPaths; }
    /// The original root offered for a new pair.
    void SetDefaultOrgPath(std::string Value) { DefaultOrgPath = std::move(Value); }

    /// Shows the list modally; true when closed with OK.
    bool Execute();

protected:
    void reject() override;

private:
    QPushButton* AddButton(const char* Name, const char* Caption, void (TFormEditSearchPaths::*Click)());
    void FillList();
    void UpdateButtons();
    int SelectedRow() const;
    void SelectRow(int Row);
    void SetRow(QTreeWidgetItem* Item, const std::string& OrgPath, const std::string& NewPath);
    bool EditPair(const char* Caption, std::string& OrgPath, std::string& NewPath);
    void SwapWithRow(int Row, int Other);

    void ButtonUpClick();
    void ButtonDownClick();
    void ButtonEditClick();
    void ButtonRemoveClick();
    void ButtonAddClick();
    void ButtonOKClick();
    void ButtonHelpClick();

    TSearchPathList FSearchPaths;
    std::string DefaultOrgPath;
    QTreeWidget* ListView;
    QPushButton* ButtonUp;
    QPushButton* ButtonDown;
    QPushButton* ButtonEdit;
    QPushButton* ButtonRemove;
    class QVBoxLayout* FButtonColumn;
};

/// Lets the user edit List in the search path window with Owner, offering DefaultOrgPath for
/// new pairs. True when closed with OK: List then holds the edited pairs. False leaves List
/// as it was. Saving the list is the caller's.
bool EditSearchPaths(QWidget* Owner, const std::string& DefaultOrgPath, TSearchPathList& List);
