#pragma once
// The main job window: the manual job (which e-mails, which actions), its editors, the job
// definition files, and the run of the job with its progress, stop and results.
//
// The class lives in three sources:
//   FrmMain.cpp      the controls of the window and how they are laid out
//   FrmMainEdit.cpp  editing the job: controls <-> record, the editors, reset, load and save
//   FrmMainRun.cpp   running the job: Start, the busy state, progress, stop, error log

#include <QDialog>

#include <cstdint>
#include <memory>
#include <string>

#include "jobs/Options.h"
#include "platform/outlook/Outlook.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/StringList.h"
#include "platform/ui/UserInterface.h"

class QAbstractButton;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class TEmailProcessor;
class TLinkLabel;
class TMAPIUtils;

/// The window the add-in's toolbar button opens. The caller sets OutlookApp and MapiUtils (both
/// lent, not owned), calls Execute, and frees the window afterwards.
class TFormMain : public QDialog {
    Q_OBJECT

public:
    /// The modal results the window ends with.
    static constexpr int mrOK = 1;
    static constexpr int mrCancel = 2;

    explicit TFormMain(QWidget* Owner = nullptr);
    ~TFormMain() override;

    /// The mail client, lent by the caller.
    ComPtr<outlook::IOutlookApplication> OutlookApp;
    /// The MAPI utility client, lent by the caller.
    TMAPIUtils* MapiUtils = nullptr;

    /// Loads the remembered job, fills the controls and shows the window modally.
    void Execute();

    /// The job as the window holds it (for the caller and for checks).
    const TManualOptions& Options() const { return *OptionsCopy; }
    bool IsBusy() const { return Busy; }

protected:
    void closeEvent(QCloseEvent* event) override;
    /// Escape: the "Cancel" button's handler (a stop request while a run is busy).
    void reject() override;

private:
    // Building the window (FrmMain.cpp).
    void CreateControls();
    void CreateTopPanel();
    void CreateLinks();
    void CreateSourceGroup();
    void CreateActionGroup();
    void CreateBottomPanel();
    void CreateStatusBar();
    QCheckBox* NewActionCheck(QWidget* parent, const char* name, int column, int row);
    QPushButton* NewEditButton(QWidget* parent, const char* name, int column, int row);
    void ConnectControls();
    void ConnectActionChecks();
    void ConnectEditButtons();
    /// Runs an event handler: an exception it raises is shown, the silent abort is dropped.
    void Handle(void (TFormMain::*Handler)());

    // Editing the job (FrmMainEdit.cpp).
    void OptionsToControls();
    void ControlsToOptions();
    /// The lent mail client; raises ComError when none was lent.
    outlook::IOutlookApplication& App() const;
    void CheckSourceFolder();
    void ShowFolderName();
    static void EmphasiseCheckBox(QAbstractButton* Box);
    void EmphasiseSource();
    /// The common click handling of a check box that has an editor.
    void EditableCheckClick(QCheckBox* Box, QPushButton* EditButton, void (TFormMain::*EditClick)());

    void ButtonResetClick();
    void ButtonLoadClick();
    void ButtonSaveClick();
    void LabelSendOptionsClick();
    void LabelInfoClick();
    void LabelHelpClick();
    void RadioSelectedOrFolderClick();
    void ButtonPickFolderClick();
    void CheckUseFilterClick();
    void ButtonFilterClick();
    void CheckCopyEmails1Click();
    void ButtonCopyEmails1Click();
    void CheckExportEmailsClick();
    void ButtonExportEmailsClick();
    void CheckReimportClick();
    void CheckSaveAttsClick();
    void ButtonSaveAttsClick();
    void CheckDeleteAttsClick();
    void ButtonDeleteAttsClick();
    void CheckSetReadClick();
    void CheckSetUnReadClick();
    void CheckCopyEmails2Click();
    void ButtonCopyEmails2Click();
    void CheckMoveEmailsClick();
    void ButtonMoveEmailsClick();
    void CheckDeleteEmailsClick();
    void ButtonDeleteEmailsClick();
    void EditCopyMove(TOptions_CopyMove& Part, const QCheckBox* Box, bool MoveMode);

    // Running the job (FrmMainRun.cpp).
    void ButtonStartClick();
    void ButtonCancelClick();
    bool FormCloseQuery() const;
    void SetBusy(bool On);
    static void EnablePanel(QWidget* Panel, bool Enabled);
    /// The run itself: a new engine with the job, the own addresses and the two events; the
    /// summary text. A failure while preparing the engine passes on.
    std::string RunEngine();
    void EngineProgress(TEmailProcessor& Sender, const std::string& FolderName, std::int32_t ItemCount,
                        std::int32_t ItemIndex, const std::string& Action);
    void EngineError(TEmailProcessor& Sender, const std::string& FolderPath, const std::string& Subject,
                     TDateTime ItemDate, const std::string& Msg);

    // Own fields.
    std::unique_ptr<TManualOptions> OptionsCopy;
    bool Updating = false;
    bool Busy = false;
    bool CancelRequested = false;
    std::unique_ptr<TStringList> ErrorLines;

    /// The open and save dialogs of job definition files, with the folder and name they start at.
    ui::FileDialogOptions OpenDialog;
    ui::FileDialogOptions SaveDialog;

    // Controls.
    QFrame* PanelTop = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* LabelTitle = nullptr;
    QFrame* BevelTitle = nullptr;
    QFrame* Bevel4 = nullptr;
    TLinkLabel* LabelSendOptions = nullptr;
    TLinkLabel* LabelInfo = nullptr;
    TLinkLabel* LabelHelp = nullptr;

    QWidget* Panel1 = nullptr;
    QRadioButton* RadioSelected = nullptr;
    QRadioButton* RadioFolder = nullptr;
    QLineEdit* EditFoldername = nullptr;
    QPushButton* ButtonPickFolder = nullptr;
    QCheckBox* CheckInclSubfolders = nullptr;
    QCheckBox* CheckUseFilter = nullptr;
    QPushButton* ButtonFilter = nullptr;

    QWidget* Panel2 = nullptr;
    QCheckBox* CheckCopyEmails1 = nullptr;
    QCheckBox* CheckExportEmails = nullptr;
    QCheckBox* CheckReimport = nullptr;
    QCheckBox* CheckSaveAtts = nullptr;
    QCheckBox* CheckDeleteAtts = nullptr;
    QCheckBox* CheckSetRead = nullptr;
    QCheckBox* CheckSetUnRead = nullptr;
    QCheckBox* CheckCopyEmails2 = nullptr;
    QCheckBox* CheckMoveEmails = nullptr;
    QCheckBox* CheckDeleteEmails = nullptr;
    QPushButton* ButtonCopyEmails1 = nullptr;
    QPushButton* ButtonExportEmails = nullptr;
    QPushButton* ButtonSaveAtts = nullptr;
    QPushButton* ButtonDeleteAtts = nullptr;
    QPushButton* ButtonCopyEmails2 = nullptr;
    QPushButton* ButtonMoveEmails = nullptr;
    QPushButton* ButtonDeleteEmails = nullptr;

    QWidget* PanelBottom = nullptr;
    QPushButton* ButtonReset = nullptr;
    QPushButton* ButtonLoad = nullptr;
    QPushButton* ButtonSave = nullptr;
    QCheckBox* CheckRememberSettings = nullptr;
    QPushButton* ButtonStart = nullptr;
    QPushButton* ButtonCancel = nullptr;

    QStatusBar* StatusBar = nullptr;
    QLabel* StatusPanels[3] = {nullptr, nullptr, nullptr};
};
