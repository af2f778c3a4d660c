#pragma once
// The editor of the save-attachments action of a job or a rule.

#include "jobs/Options.h"
#include "windows/EditorDialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class TJamBrowseForFolder;
class TMaskButtons;

/// Edits a private copy of a TOptions_SaveAttachments. The caller assigns its record into
/// OptionsCopy, sets the caption, calls Execute and assigns OptionsCopy back when it returns
/// true. The record's Active flag is carried through unchanged.
class TFormEditJob_SaveAtts : public TEditorDialog {
    Q_OBJECT

public:
    explicit TFormEditJob_SaveAtts(QWidget* parent);

    /// The record being edited.
    TOptions_SaveAttachments OptionsCopy;

    /// Fills the controls from OptionsCopy and shows the window modally; true on OK.
    bool Execute();

protected:
    void ButtonOKClick() override;
    int HelpContext() const override { return 25; }

private:
    void CreateControls();
    QWidget* CreateWhereGroup();
    QWidget* CreateWhatGroup();
    QWidget* CreateAfterGroups();
    void OptionsToControls();
    void ControlsToOptions();
    void CheckSaveOnlyIfSizeClick();
    void ButtonBrowseDestPathClick();

    TJamBrowseForFolder* JamBrowseForFolder = nullptr;
    QLineEdit* EditDestPath = nullptr;
    QPushButton* ButtonBrowseDestPath = nullptr;
    QLineEdit* EditMask = nullptr;
    TMaskButtons* MaskButtons = nullptr;
    QComboBox* ComboDuplicateMode = nullptr;
    QPlainTextEdit* MemoAttInclude = nullptr;
    QPlainTextEdit* MemoAttExclude = nullptr;
    QCheckBox* CheckSaveOnlyIfSize = nullptr;
    QSpinBox* UpDownSaveOnlyIfSizeKB = nullptr;
    QCheckBox* CheckRecurseMSG = nullptr;
    QComboBox* ComboAfterSaveMode = nullptr;
};
