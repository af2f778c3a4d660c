#pragma once
// The editor of a manual job's filter: masks of senders, recipients and subjects, a date range
// and the presence of attachments.

#include "jobs/Options.h"
#include "windows/EditorDialog.h"

class QCheckBox;
class QPlainTextEdit;
class TDateTimePicker;

/// Edits a private copy of a TOptions_Filter. The caller assigns its record into OptionsCopy,
/// sets the caption, calls Execute and assigns OptionsCopy back when it returns true. The
/// record's Active flag is carried through unchanged.
class TFormEditFilter : public TEditorDialog {
    Q_OBJECT

public:
    explicit TFormEditFilter(QWidget* parent);

    /// The record being edited.
    TOptions_Filter OptionsCopy;

    /// Fills the controls from OptionsCopy and shows the window modally; true on OK.
    bool Execute();

protected:
    void ButtonOKClick() override;
    int HelpContext() const override { return 21; }

private:
    void CreateControls();
    QWidget* CreateMaskGroup(const char* caption, const char* includeLabel, QPlainTextEdit*& include,
                             const char* includeName, QPlainTextEdit*& exclude, const char* excludeName);
    QWidget* CreateDateGroup();
    QWidget* CreateAttachmentGroup();
    void OptionsToControls();
    void ControlsToOptions();

    QPlainTextEdit* MemoSenderInclude = nullptr;
    QPlainTextEdit* MemoSenderExclude = nullptr;
    QPlainTextEdit* MemoRecipientInclude = nullptr;
    QPlainTextEdit* MemoRecipientExclude = nullptr;
    QPlainTextEdit* MemoSubjectInclude = nullptr;
    QPlainTextEdit* MemoSubjectExclude = nullptr;
    TDateTimePicker* DateTimePickerFrom = nullptr;
    TDateTimePicker* DateTimePickerTo = nullptr;
    QCheckBox* CheckWithAtt = nullptr;
    QCheckBox* CheckWithoutAtt = nullptr;
};
