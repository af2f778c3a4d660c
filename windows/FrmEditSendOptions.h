#pragma once
// The editor of the send option: what happens when an e-mail with shortcut attachments is sent.

#include "jobs/Options.h"
#include "windows/EditorDialog.h"

class QRadioButton;

/// Edits a private copy of a TSendOptions. The caller clears OptionsCopy, loads it from the
/// registry, calls Execute and saves OptionsCopy when it returns true.
class TFormEditSendOptions : public TEditorDialog {
    Q_OBJECT

public:
    explicit TFormEditSendOptions(QWidget* parent);

    /// The record being edited.
    TSendOptions OptionsCopy;

    /// Ticks the button of the stored replace mode and shows the window modally; true on OK.
    bool Execute();

protected:
    void ButtonOKClick() override;
    int HelpContext() const override { return 41; }

private:
    QRadioButton* RadioAsk = nullptr;
    QRadioButton* RadioAlways = nullptr;
    QRadioButton* RadioNever = nullptr;
};
