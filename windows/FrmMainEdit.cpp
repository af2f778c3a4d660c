// Editing the job in the main window: the controls and the record, the editors of the parts,
// the source folder, reset, job definition files and the links.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <filesystem>

#include "engine/OutlookTools.h"
#include "jobs/DM_Global.h"
#include "jobs/FileTools.h"
#include "platform/com/ComError.h"
#include "platform/runtime/Text.h"
#include "platform/ui/ApplicationObject.h"
#include "windows/FrmAbout.h"
#include "windows/FrmEditFilter.h"
#include "windows/FrmEditJob_CopyMove.h"
#include "windows/FrmEditJob_DeleteAtts.h"
#include "windows/FrmEditJob_DeleteEmails.h"
#include "windows/FrmEditJob_ExportEmails.h"
#include "windows/FrmEditJob_SaveAtts.h"
#include "windows/FrmEditSendOptions.h"
#include "windows/FrmMain.h"
#include "windows/LinkLabel.h"
#include "windows/OutlookFolderPicker.h"

namespace {

constexpr int kHelpContextMain = 10;
constexpr const char* kDefinitionExt = ".qef";

/// Runs an editor window on a copy of Part: the caption of the action's check box, Execute,
/// and the copy back into Part only when the window closed with OK. `Prepare` sets what an
/// editor needs beyond its record.
template <class Editor, class Record, class PrepareFn>
void RunEditor(QWidget* Owner, Record& Part, const QString& Caption, PrepareFn&& Prepare)
{
    Editor editor(Owner);
    editor.OptionsCopy.Assign(Part);
    Prepare(editor);
    editor.setWindowTitle(Caption);
    if (editor.Execute()) Part.Assign(editor.OptionsCopy);
}

template <class Editor, class Record>
void RunEditor(QWidget* Owner, Record& Part, const QString& Caption)
{
    RunEditor<Editor>(Owner, Part, Caption, [](Editor&) {});
}

bool HasExtension(const std::string& FileName)
{
    return !std::filesystem::path(FileName).extension().empty();
}

std::string FolderOf(const std::string& FileName)
{
    return std::filesystem::path(FileName).parent_path().string();
}

std::string NameOf(const std::string& FileName)
{
    return std::filesystem::path(FileName).filename().string();
}

/// Runs Step, then Last, also when Step fails (Last itself is not expected to fail).
template <class StepFn, class LastFn>
void WithFinally(StepFn&& Step, LastFn&& Last)
{
    try {
        Step();
    } catch (...) {
        Last();
        throw;
    }
    Last();
}

}  // namespace

void TFormMain::Execute()
{
    setWindowTitle(QStringLiteral("Trovanta"));
    QIcon icon = ui::ApplicationIcon();
    if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    Image1->setPixmap(icon.pixmap(32, 32));
    setWindowIcon(icon);

    CheckUseFilter->setText(QStringLiteral("Use filter"));
    CheckCopyEmails1->setText(QStringLiteral("1. Copy e-mails to folder"));
    CheckExportEmails->setText(QStringLiteral("2. Export e-mails"));
    CheckReimport->setText(QStringLiteral("3. Reimport .QEL-shortcuts"));
    CheckSaveAtts->setText(QStringLiteral("4. Save attachments"));
    CheckDeleteAtts->setText(QStringLiteral("5. Delete attachments"));
    CheckSetRead->setText(QStringLiteral("6. Mark e-mails as read"));
    CheckSetUnRead->setText(QStringLiteral("7. Mark e-mails as unread"));
    CheckCopyEmails2->setText(QStringLiteral("8. Copy e-mails to folder"));
    CheckMoveEmails->setText(QStringLiteral("9. Move e-mails to folder"));
    CheckDeleteEmails->setText(QStringLiteral("10. Delete e-mails"));

    // A remembered job that cannot be read is dropped without a word: the window opens with
    // the defaults.
    OptionsCopy->Clear();
    try {
        OptionsCopy->LoadFromRegistry(RegKeyAdHoc);
    } catch (const std::exception&) {
        OptionsCopy->Clear();
    }
    OptionsToControls();
    CheckRememberSettings->setChecked(true);
    exec();
}

void TFormMain::OptionsToControls()
{
    Updating = true;
    WithFinally(
        [this] {
            const TManualOptions& job = *OptionsCopy;
            (job.Source().Source != 0 ? RadioFolder : RadioSelected)->setChecked(true);
            // Also when the selection did not change, so that the folder controls match it.
            RadioSelectedOrFolderClick();
            CheckSourceFolder();
            CheckInclSubfolders->setChecked(job.Source().InclSubFolders);
            CheckUseFilter->setChecked(job.Filter().Active);
            CheckUseFilterClick();

            CheckCopyEmails1->setChecked(job.CopyEmails1().Active);
            CheckExportEmails->setChecked(job.ExportEmails().Active);
            CheckReimport->setChecked(job.Reimport().Active);
            CheckSaveAtts->setChecked(job.SaveAttachments().Active);
            CheckDeleteAtts->setChecked(job.DeleteAttachments().Active);
            CheckSetRead->setChecked(job.ReadUnread().Mode == 1);
            CheckSetUnRead->setChecked(job.ReadUnread().Mode == 2);
            CheckCopyEmails2->setChecked(job.CopyEmails2().Active);
            CheckMoveEmails->setChecked(job.MoveEmails().Active);
            CheckDeleteEmails->setChecked(job.DeleteEmails().Active);

            // The boxes whose state did not change still get their Edit button and emphasis.
            CheckCopyEmails1Click();
            CheckExportEmailsClick();
            CheckSaveAttsClick();
            CheckDeleteAttsClick();
            CheckCopyEmails2Click();
            CheckMoveEmailsClick();
            CheckDeleteEmailsClick();
        },
        [this] { Updating = false; });
}

void TFormMain::ControlsToOptions()
{
    TManualOptions& job = *OptionsCopy;
    job.Source().Source = RadioSelected->isChecked() ? 0 : 1;
    job.Source().InclSubFolders = CheckInclSubfolders->isChecked();
    job.Filter().Active = CheckUseFilter->isChecked();
    job.CopyEmails1().Active = CheckCopyEmails1->isChecked();
    job.ExportEmails().Active = CheckExportEmails->isChecked();
    job.Reimport().Active = CheckReimport->isChecked();
    job.SaveAttachments().Active = CheckSaveAtts->isChecked();
    job.DeleteAttachments().Active = CheckDeleteAtts->isChecked();
    job.CopyEmails2().Active = CheckCopyEmails2->isChecked();
    job.MoveEmails().Active = CheckMoveEmails->isChecked();
    job.DeleteEmails().Active = CheckDeleteEmails->isChecked();
    job.ReadUnread().Mode = CheckSetRead->isChecked() ? 1 : CheckSetUnRead->isChecked() ? 2 : 0;

    // The folder and selection found are not needed here; they are released at once.
    TJobSourceItems items;
    TDMGlobal::ValidateManualOptions(job, App(), items);
}

outlook::IOutlookApplication& TFormMain::App() const
{
    if (!OutlookApp) throw ComError(E_POINTER, "The mail client is not available.");
    return *OutlookApp;
}

void TFormMain::CheckSourceFolder()
{
    TOptions_Source& source = OptionsCopy->Source();
    // Without the mail client nothing can be resolved; the stored folder is kept as it is.
    if (OutlookApp) {
        const std::string path = GetFolderPathFromID(*OutlookApp, source.Entry, source.Store);
        if (SameText(path, source.FullName)) {
            source.FullName = path;
        } else {
            // Renamed, moved or gone: the folder must be picked again.
            source.Entry.clear();
            source.Store.clear();
            source.FullName.clear();
        }
    }
    ShowFolderName();
}

void TFormMain::ShowFolderName()
{
    const QString name = QString::fromStdString(OptionsCopy->Source().FullName);
    EditFoldername->setText(name);
    EditFoldername->setToolTip(name);
}

void TFormMain::EmphasiseCheckBox(QAbstractButton* Box)
{
    QFont font = Box->font();
    font.setBold(Box->isChecked());
    font.setUnderline(Box->isChecked());
    Box->setFont(font);
}

void TFormMain::EmphasiseSource()
{
    EmphasiseCheckBox(RadioSelected);
    EmphasiseCheckBox(RadioFolder);
}

void TFormMain::EditableCheckClick(QCheckBox* Box, QPushButton* EditButton, void (TFormMain::*EditClick)())
{
    EditButton->setEnabled(Box->isChecked());
    EmphasiseCheckBox(Box);
    // Ticked by the user: the editor opens at once. Filling the controls never opens one.
    if (Box->isChecked() && !Updating) (this->*EditClick)();
}

void TFormMain::RadioSelectedOrFolderClick()
{
    const bool folder = RadioFolder->isChecked();
    ButtonPickFolder->setEnabled(folder);
    CheckInclSubfolders->setEnabled(folder);
    EmphasiseSource();
    if (folder && !Updating && OptionsCopy->Source().Entry.empty()) ButtonPickFolderClick();
}

void TFormMain::ButtonPickFolderClick()
{
    WithFinally(
        [this] {
            const ComPtr<outlook::IMAPIFolder> folder = PickOutlookFolder(this, App());
            if (!folder) return;
            TOptions_Source& source = OptionsCopy->Source();
            source.Entry = folder->EntryID();
            source.Store = folder->StoreID();
            source.FullName = GetFolderPath(folder);
            ShowFolderName();
        },
        [this] {
            raise();
            activateWindow();
        });
}

void TFormMain::CheckUseFilterClick()
{
    EditableCheckClick(CheckUseFilter, ButtonFilter, &TFormMain::ButtonFilterClick);
}

void TFormMain::ButtonFilterClick()
{
    RunEditor<TFormEditFilter>(this, OptionsCopy->Filter(), CheckUseFilter->text());
}

void TFormMain::CheckCopyEmails1Click()
{
    EditableCheckClick(CheckCopyEmails1, ButtonCopyEmails1, &TFormMain::ButtonCopyEmails1Click);
}

void TFormMain::ButtonCopyEmails1Click()
{
    EditCopyMove(OptionsCopy->CopyEmails1(), CheckCopyEmails1, false);
}

void TFormMain::CheckExportEmailsClick()
{
    EditableCheckClick(CheckExportEmails, ButtonExportEmails, &TFormMain::ButtonExportEmailsClick);
}

void TFormMain::ButtonExportEmailsClick()
{
    RunEditor<TFormEditJob_ExportEmails>(this, OptionsCopy->ExportEmails(), CheckExportEmails->text());
}

void TFormMain::CheckReimportClick()
{
    EmphasiseCheckBox(CheckReimport);
}

void TFormMain::CheckSaveAttsClick()
{
    EditableCheckClick(CheckSaveAtts, ButtonSaveAtts, &TFormMain::ButtonSaveAttsClick);
}

void TFormMain::ButtonSaveAttsClick()
{
    RunEditor<TFormEditJob_SaveAtts>(this, OptionsCopy->SaveAttachments(), CheckSaveAtts->text());
}

void TFormMain::CheckDeleteAttsClick()
{
    EditableCheckClick(CheckDeleteAtts, ButtonDeleteAtts, &TFormMain::ButtonDeleteAttsClick);
}

void TFormMain::ButtonDeleteAttsClick()
{
    RunEditor<TFormEditJob_DeleteAtts>(this, OptionsCopy->DeleteAttachments(), CheckDeleteAtts->text());
}

void TFormMain::CheckSetReadClick()
{
    EmphasiseCheckBox(CheckSetRead);
    // Read and unread exclude each other.
    if (CheckSetRead->isChecked()) CheckSetUnRead->setChecked(false);
}

void TFormMain::CheckSetUnReadClick()
{
    EmphasiseCheckBox(CheckSetUnRead);
    if (CheckSetUnRead->isChecked()) CheckSetRead->setChecked(false);
}

void TFormMain::CheckCopyEmails2Click()
{
    EditableCheckClick(CheckCopyEmails2, ButtonCopyEmails2, &TFormMain::ButtonCopyEmails2Click);
}

void TFormMain::ButtonCopyEmails2Click()
{
    EditCopyMove(OptionsCopy->CopyEmails2(), CheckCopyEmails2, false);
}

void TFormMain::CheckMoveEmailsClick()
{
    EditableCheckClick(CheckMoveEmails, ButtonMoveEmails, &TFormMain::ButtonMoveEmailsClick);
}

void TFormMain::ButtonMoveEmailsClick()
{
    EditCopyMove(OptionsCopy->MoveEmails(), CheckMoveEmails, true);
}

void TFormMain::CheckDeleteEmailsClick()
{
    EditableCheckClick(CheckDeleteEmails, ButtonDeleteEmails, &TFormMain::ButtonDeleteEmailsClick);
}

void TFormMain::ButtonDeleteEmailsClick()
{
    RunEditor<TFormEditJob_DeleteEmails>(this, OptionsCopy->DeleteEmails(), CheckDeleteEmails->text());
}

void TFormMain::EditCopyMove(TOptions_CopyMove& Part, const QCheckBox* Box, bool MoveMode)
{
    RunEditor<TFormEditJob_CopyMove>(this, Part, Box->text(),
                                     [this, MoveMode](TFormEditJob_CopyMove& editor) {
                                         editor.OutlookApp = OutlookApp.Get();
                                         editor.MoveMode = MoveMode;
                                     });
}

void TFormMain::ButtonResetClick()
{
    OptionsCopy->Clear();
    OptionsToControls();
}

void TFormMain::ButtonLoadClick()
{
    // A cancelled dialog leaves the controls alone: ticks not yet taken into the job stay.
    const std::optional<std::string> chosen = ui::Ui().OpenFileName(this, OpenDialog);
    if (!chosen) return;
    std::string fileName = *chosen;
    if (!std::filesystem::exists(fileName) && !HasExtension(fileName)) fileName += kDefinitionExt;
    WithFinally(
        [&] {
            try {
                OptionsCopy->LoadFromFile(fileName);
            } catch (...) {
                OptionsCopy->Clear();
                throw;
            }
            SaveDialog.InitialDir = FolderOf(fileName);
            SaveDialog.FileName = NameOf(fileName);
            OpenDialog.FileName = fileName;
        },
        [this] { OptionsToControls(); });
}

void TFormMain::ButtonSaveClick()
{
    WithFinally(
        [this] {
            // Only a job that passes validation is saved; otherwise no dialog opens.
            ControlsToOptions();
            const std::optional<std::string> chosen = ui::Ui().SaveFileName(this, SaveDialog);
            if (!chosen) return;
            std::string fileName = *chosen;
            if (!HasExtension(fileName)) fileName += kDefinitionExt;
            OptionsCopy->SaveToFile(fileName);
            OpenDialog.InitialDir = FolderOf(fileName);
            OpenDialog.FileName = NameOf(fileName);
            SaveDialog.FileName = NameOf(fileName);
        },
        [this] { OptionsToControls(); });
}

void TFormMain::LabelSendOptionsClick()
{
    TFormEditSendOptions editor(this);
    editor.OptionsCopy.Clear();
    try {
        editor.OptionsCopy.LoadFromRegistry(RegKeySend);
    } catch (const std::exception&) {
        editor.OptionsCopy.Clear();
    }
    if (editor.Execute()) editor.OptionsCopy.SaveToRegistry(RegKeySend);
}

void TFormMain::LabelInfoClick()
{
    ShowAboutBox(this);
}

void TFormMain::LabelHelpClick()
{
    ShowHelp(kHelpContextMain);
}
