#pragma once
// The editor of a copy or move action of a job: the target folder of the mail store and the
// mask of subfolders below it.

#include "jobs/Options.h"
#include "platform/outlook/Outlook.h"
#include "windows/EditorDialog.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TMaskButtons;

/// Edits a private copy of a TOptions_CopyMove (the first copy, the second copy or the move).
/// The caller assigns its record into OptionsCopy, lends OutlookApp, sets MoveMode and the
/// caption, calls Execute and assigns OptionsCopy back when it returns true.
class TFormEditJob_CopyMove : public TEditorDialog {
    Q_OBJECT

public:
    explicit TFormEditJob_CopyMove(QWidget* parent);

    /// The record being edited.
    TOptions_CopyMove OptionsCopy;
    /// The mail client, lent by the caller (not owned).
    outlook::IOutlookApplication* OutlookApp = nullptr;
    /// False: copy, true: move.
    bool MoveMode = false;

    /// Sets the captions by MoveMode, checks the stored folder, shows the window modally; true
    /// on OK.
    bool Execute();

protected:
    void ButtonOKClick() override;
    int HelpContext() const override { return 22; }

private:
    void CreateControls();
    /// Empties the stored folder when the mail client no longer has it under the stored path.
    void CheckFolder();
    void ShowFolderName();
    void ControlsToOptions();
    void ButtonPickFolderClick();

    QGroupBox* GroupFolder = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* EditFoldername = nullptr;
    QPushButton* ButtonPickFolder = nullptr;
    QLineEdit* EditMask = nullptr;
    TMaskButtons* MaskButtons = nullptr;
};
