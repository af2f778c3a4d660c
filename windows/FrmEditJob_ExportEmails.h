#pragma once
// The editor of the export action of a job or a rule.

#include "jobs/Options.h"
#include "windows/EditorDialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class TJamBrowseForFolder;
class TMaskButtons;

/// Edits a private copy of a TOptions_ExportEmails. The caller assigns its record into
/// OptionsCopy, sets the caption, calls Execute and assigns OptionsCopy back when it returns
/// true. The record's Active flag is carried through unchanged.
class TFormEditJob_ExportEmails : public TEditorDialog {
    Q_OBJECT

public:
    explicit TFormEditJob_ExportEmails(QWidget* parent);

    /// The record being edited.
    TOptions_ExportEmails OptionsCopy;

    /// Fills the controls from OptionsCopy and shows the window modally; true on OK.
    bool Execute();

protected:
    void ButtonOKClick() override;
    int HelpContext() const override { return 23; }

private:
    void CreateControls();
    QWidget* CreateFormatGroup();
    QWidget* CreateWhereGroup();
    QWidget* CreateOptionsGroup();
    void OptionsToControls();
    void ControlsToOptions();
    void CheckLogClick();
    void ButtonBrowseDestPathClick();
    void ButtonBrowseLogPathClick();

    QComboBox* ComboSaveFormat = nullptr;
    TJamBrowseForFolder* JamBrowseForFolder = nullptr;
    QLineEdit* EditDestPath = nullptr;
    QPushButton* ButtonBrowseDestPath = nullptr;
    QLineEdit* EditMask = nullptr;
    TMaskButtons* MaskButtons = nullptr;
    QComboBox* ComboDuplicateMode = nullptr;
    QCheckBox* CheckAlsoAttachments = nullptr;
    QLineEdit* EditPrefixSubject = nullptr;
    QCheckBox* CheckLog = nullptr;
    QLineEdit* EditLogPath = nullptr;
    QPushButton* ButtonBrowseLogPath = nullptr;
};
