// Running the job from the main window. The run is synchronous, inside the Start handler: the
// window stays responsive because the engine's progress event processes the pending window
// events, and that is also where a stop request ends the run (with the silent abort, which
// the engine lets end the run at the latest when the next item starts). While busy, only
// "Cancel" works, as the stop button, and the window refuses to close.

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <fmt/printf.h>

#include "engine/EmailProcessor.h"
#include "platform/runtime/Exception.h"
#include "windows/FrmMain.h"
#include "windows/FrmResults.h"
#include "windows/LinkLabel.h"
#include "windows/WindowShortcutPrompts.h"

namespace {

constexpr const char* kProductName = "Trovanta";

}  // namespace

void TFormMain::ButtonStartClick()
{
    ControlsToOptions();
    if (ui::Ui().MessageBox(this, "Start processing the e-mails?", kProductName, ui::MsgIcon::Question,
                            ui::mbYesNo) != ui::idYes) {
        return;
    }
    if (CheckRememberSettings->isChecked()) OptionsCopy->SaveToRegistry(RegKeyAdHoc);

    SetBusy(true);
    try {
        const std::string summary = RunEngine();
        ShowResults(this, summary, *ErrorLines);
    } catch (...) {
        // The window stays open; the failure is shown by the caller of this handler.
        SetBusy(false);
        throw;
    }
    SetBusy(false);
    // After every run that got this far the window closes, whatever the result.
    done(mrOK);
}

std::string TFormMain::RunEngine()
{
    // The reimport asks the user through the prompt windows where an original file is missing.
    TWindowShortcutPrompts prompts;
    const auto engine = std::make_unique<TEmailProcessor>();
    engine->SetApplication(OutlookApp);
    engine->SetMAPIUtils(MapiUtils);
    engine->SetShortcutPrompts(&prompts);
    engine->ManualOptions().Assign(*OptionsCopy);
    engine->MeOptions().LoadFromRegistry(RegKeyMe);
    engine->OnProgress = [this](TEmailProcessor& Sender, const std::string& FolderName,
                                std::int32_t ItemCount, std::int32_t ItemIndex, const std::string& Action) {
        EngineProgress(Sender, FolderName, ItemCount, ItemIndex, Action);
    };
    engine->OnItemError = [this](TEmailProcessor& Sender, const std::string& FolderPath,
                                 const std::string& Subject, TDateTime ItemDate, const std::string& Msg) {
        EngineError(Sender, FolderPath, Subject, ItemDate, Msg);
    };
    try {
        engine->Execute();
        return engine->GetResultText();
    } catch (const Exception& e) {
        // A stop request or a failure that ended the run: its message before the counters.
        return e.Message() + "\r\n" + engine->GetResultText();
    }
}

void TFormMain::ButtonCancelClick()
{
    if (Busy) {
        CancelRequested = true;
        return;
    }
    done(mrCancel);
}

bool TFormMain::FormCloseQuery() const
{
    return !Busy;
}

void TFormMain::SetBusy(bool On)
{
    Busy = On;
    const QList<QWidget*> editing = {LabelHelp,  LabelInfo,  LabelSendOptions, ButtonReset,
                                     ButtonLoad, ButtonSave, ButtonStart,      CheckRememberSettings};
    for (QWidget* control : editing) control->setEnabled(!On);
    if (On) CancelRequested = false;
    EnablePanel(Panel1, !On);
    EnablePanel(Panel2, !On);
    for (QLabel* panel : StatusPanels) panel->clear();
    ErrorLines->Clear();
    // Back in editing, the Edit buttons and the folder controls follow the boxes again.
    if (!On) OptionsToControls();
}

void TFormMain::EnablePanel(QWidget* Panel, bool Enabled)
{
    // Only the controls that take input; labels and bevels keep their look.
    for (QWidget* child : Panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QAbstractButton*>(child) || qobject_cast<QLineEdit*>(child))
            child->setEnabled(Enabled);
    }
}

void TFormMain::EngineProgress(TEmailProcessor&, const std::string& FolderName, std::int32_t ItemCount,
                               std::int32_t ItemIndex, const std::string& Action)
{
    StatusPanels[0]->setText(QString::fromStdString(FolderName));
    StatusPanels[1]->setText(QString::fromStdString(fmt::sprintf("%d / %d", ItemIndex, ItemCount)));
    StatusPanels[2]->setText(QString::fromStdString(Action));
    // Repaints the window and lets "Cancel" be pressed while the run goes on.
    QCoreApplication::processEvents();
    if (CancelRequested) Abort();
}

void TFormMain::EngineError(TEmailProcessor&, const std::string& FolderPath, const std::string& Subject,
                            TDateTime ItemDate, const std::string& Msg)
{
    ErrorLines->Add(fmt::sprintf("*** %s:", DateTimeToStr(Now())));
    ErrorLines->Add(fmt::sprintf("Folder: %s", FolderPath));
    ErrorLines->Add(fmt::sprintf("Subject: %s", Subject));
    ErrorLines->Add(fmt::sprintf("Time: %s", DateTimeToStr(ItemDate)));
    ErrorLines->Add(Msg);
    ErrorLines->Add("");
}
