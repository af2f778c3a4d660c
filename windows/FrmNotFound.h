#pragma once
// The prompt that reports that the file behind a shortcut attachment cannot be found and
// offers to edit the search paths, to keep the shortcut or to remove it. It changes nothing
// itself: Execute returns the button's modal result and the caller acts.

#include <QDialog>

#include <string>

class QHBoxLayout;
class QLabel;
class QPushButton;
class TShortcutPromptFields;

class TFormNotFound final : public QDialog {
    Q_OBJECT

public:
    explicit TFormNotFound(QWidget* Owner = nullptr);

    /// The shortcut attachment's name; the prompt shows its file name part.
    void SetAttFilename(std::string Value) { AttFilename = std::move(Value); }
    /// The full path of the missing file.
    void SetOrgFilename(std::string Value) { OrgFilename = std::move(Value); }

    /// Shows the prompt modally: "Search paths..." 101, "Do not replace" 102 (shown only with
    /// AllowKeep), "Remove attachment" 103 (shown only with AllowRemove), "Cancel", Esc or the
    /// close box 2.
    int Execute(bool AllowKeep, bool AllowRemove);

protected:
    void reject() override;

private:
    QPushButton* AddButton(const char* Name, const char* Caption);
    void ButtonEditClick();
    void ButtonDontReplaceClick();
    void ButtonRemoveAttClick();
    void ButtonHelpClick();

    std::string AttFilename;
    std::string OrgFilename;
    TShortcutPromptFields* FFields;
    QLabel* LabelNotFoundInfo;
    QHBoxLayout* FButtonRow;
    QPushButton* ButtonDontReplace;
    QPushButton* ButtonRemoveAtt;
};

/// Creates the prompt with Owner, shows it for the two names and returns its modal result;
/// the window is gone afterwards, also when an exception passes.
int ShowFileNotFound(QWidget* Owner, const std::string& AttFilename, const std::string& OrgFilename,
                     bool AllowKeep, bool AllowRemove);
