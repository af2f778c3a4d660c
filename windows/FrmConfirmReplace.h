#pragma once
// The prompt that asks whether a shortcut attachment is to be replaced by the file it points
// to. It changes nothing itself: Execute returns the button's modal result and the caller acts.

#include <QDialog>

#include <string>

class TShortcutPromptFields;

class TFormConfirmReplace final : public QDialog {
    Q_OBJECT

public:
    explicit TFormConfirmReplace(QWidget* Owner = nullptr);

    /// The shortcut attachment's name, shown as it is.
    void SetAttFilename(std::string Value) { AttFilename = std::move(Value); }
    /// The full path of the file the shortcut points to.
    void SetOrgFilename(std::string Value) { OrgFilename = std::move(Value); }

    /// Shows the prompt modally: "Yes" 6, "No" 7, "Yes to all" 10, "Cancel", Esc or the close
    /// box 2.
    int Execute();

protected:
    void reject() override;

private:
    void ButtonHelpClick();

    std::string AttFilename;
    std::string OrgFilename;
    TShortcutPromptFields* FFields;
};
