#pragma once
// The editor of the delete-attachments action of a job.

#include "jobs/Options.h"
#include "windows/EditorDialog.h"

class QPlainTextEdit;

/// Edits a private copy of a TOptions_DeleteAttachments: the masks of the attachments to delete
/// and of those to keep. No validation: empty lists are accepted.
class TFormEditJob_DeleteAtts : public TEditorDialog {
    Q_OBJECT

public:
    explicit TFormEditJob_DeleteAtts(QWidget* parent);

    /// The record being edited.
    TOptions_DeleteAttachments OptionsCopy;

    /// Fills the controls from OptionsCopy and shows the window modally; true on OK.
    bool Execute();

protected:
    void ButtonOKClick() override;
    int HelpContext() const override { return 26; }

private:
    QPlainTextEdit* MemoAttInclude = nullptr;
    QPlainTextEdit* MemoAttExclude = nullptr;
};
