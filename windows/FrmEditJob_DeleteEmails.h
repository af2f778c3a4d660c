#pragma once
// The editor of the delete-e-mails action of a job.

#include "jobs/Options.h"
#include "windows/EditorDialog.h"

class QCheckBox;

/// Edits a private copy of a TOptions_DeleteEmails: whether e-mails without and with
/// attachments are deleted; at least one must be ticked.
class TFormEditJob_DeleteEmails : public TEditorDialog {
    Q_OBJECT

public:
    explicit TFormEditJob_DeleteEmails(QWidget* parent);

    /// The record being edited.
    TOptions_DeleteEmails OptionsCopy;

    /// Fills the controls from OptionsCopy and shows the window modally; true on OK.
    bool Execute();

protected:
    void ButtonOKClick() override;
    int HelpContext() const override { return 28; }

private:
    QCheckBox* CheckWithout = nullptr;
    QCheckBox* CheckWith = nullptr;
};
