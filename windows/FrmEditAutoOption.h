#pragma once
// The editor of one rule for incoming e-mails: the masks an e-mail must match, and whether
// it is exported and/or its attachments are saved.

#include "jobs/Options.h"
#include "windows/EditorDialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

/// Edits a private copy of a TJobOptions. The caller assigns the rule into OptionsCopy (or
/// clears it for a new rule), calls Execute and assigns OptionsCopy back when it returns true.
class TFormEditAutoOption : public TEditorDialog {
    Q_OBJECT

public:
    explicit TFormEditAutoOption(QWidget* parent);

    /// The rule being edited.
    TJobOptions OptionsCopy;

    /// Fills the controls from OptionsCopy and shows the window modally; true on OK.
    bool Execute();

protected:
    void ButtonOKClick() override;
    int HelpContext() const override { return 31; }

private:
    void CreateControls();
    QWidget* CreateMaskGroup();
    QWidget* CreateActionGroup();
    void OptionsToControls();
    void ControlsToOptions();
    void CheckExportEmailsClick();
    void CheckSaveAttachmentsClick();
    void ButtonEmailsClick();
    void ButtonAttachmentsClick();
    /// A ticked box is drawn bold and underlined, an unticked one plain.
    static void EmphasiseCheckBox(QCheckBox* box);

    /// True while OptionsToControls fills the controls: ticking a box then opens no editor.
    bool Updating = false;

    QLineEdit* EditSender = nullptr;
    QLineEdit* EditRecipient = nullptr;
    QLineEdit* EditSubject = nullptr;
    QCheckBox* CheckExportEmails = nullptr;
    QPushButton* ButtonEmails = nullptr;
    QCheckBox* CheckSaveAttachments = nullptr;
    QPushButton* ButtonAttachments = nullptr;
};
