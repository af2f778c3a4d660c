#include "windows/FrmEditJob_ExportEmails.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "jobs/DM_Global.h"
#include "platform/runtime/Text.h"
#include "windows/ControlTools.h"
#include "windows/DiskFolders.h"
#include "windows/MaskButtons.h"
#include "windows/SlotGuard.h"
#include "windows/WhereToSave.h"

using namespace controls;

TFormEditJob_ExportEmails::TFormEditJob_ExportEmails(QWidget* parent) : TEditorDialog(parent)
{
    setObjectName(QStringLiteral("FormEditJob_ExportEmails"));
    CreateControls();
    JamBrowseForFolder = NewFolderBrowser(this);
    MakeFixedDialog();
}

void TFormEditJob_ExportEmails::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateFormatGroup());
    layout->addWidget(CreateWhereGroup());
    layout->addWidget(CreateOptionsGroup());
    AddBottomRow(layout, {TBottomButton::Help, TBottomButton::OK, TBottomButton::Cancel});
    connect(CheckLog, &QCheckBox::toggled, this, &TFormEditJob_ExportEmails::CheckLogClick);
    connect(ButtonBrowseDestPath, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { ButtonBrowseDestPathClick(); }); });
    connect(ButtonBrowseLogPath, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { ButtonBrowseLogPathClick(); }); });
}

QWidget* TFormEditJob_ExportEmails::CreateFormatGroup()
{
    QGroupBox* group = NewGroup(this, " Save format ", "GroupSaveFormat");
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(NewLabel(group, "Choose the format, in which the e-mails should be saved:"));
    ComboSaveFormat = NewComboList(group, "ComboSaveFormat",
                                   {".TXT (Text only)", ".MSG (Microsoft MSG-file)", ".HTM (Text only)",
                                    ".EML (Webarchive [RFC822-file])", ".MHT (Webarchive [RFC822-file])"});
    layout->addWidget(ComboSaveFormat);
    layout->addStretch(1);
    return group;
}

QWidget* TFormEditJob_ExportEmails::CreateWhereGroup()
{
    const TWhereToSave where = NewWhereToSaveGroup(this, "Save e-mails in the following disk folder:", false);
    EditDestPath = where.EditDestPath;
    ButtonBrowseDestPath = where.ButtonBrowseDestPath;
    EditMask = where.EditMask;
    MaskButtons = where.MaskButtons;
    ComboDuplicateMode = where.ComboDuplicateMode;
    CheckAlsoAttachments =
        NewCheck(where.Group, "also save attachments in subdirectory \"-Attachments\"", "CheckAlsoAttachments");
    where.Grid->addWidget(CheckAlsoAttachments, 6, 0, 1, 2);
    return where.Group;
}

QWidget* TFormEditJob_ExportEmails::CreateOptionsGroup()
{
    QGroupBox* group = NewGroup(this, " Options ", "GroupOptions");
    auto* grid = new QGridLayout(group);
    grid->addWidget(NewLabel(group, "After saving, prefix the subject with:"), 0, 0);
    EditPrefixSubject = NewEdit(group, "EditPrefixSubject");
    grid->addWidget(EditPrefixSubject, 0, 1, 1, 2);
    CheckLog = NewCheck(group, "Log the export in the following directory", "CheckLog");
    grid->addWidget(CheckLog, 1, 0, 1, 3);
    EditLogPath = NewEdit(group, "EditLogPath");
    ButtonBrowseLogPath = NewBrowseButton(group, "ButtonBrowseLogPath");
    grid->addWidget(EditLogPath, 2, 0, 1, 2);
    grid->addWidget(ButtonBrowseLogPath, 2, 2);
    return group;
}

bool TFormEditJob_ExportEmails::Execute()
{
    OptionsToControls();
    CheckLogClick();
    return ShowModalOK();
}

void TFormEditJob_ExportEmails::OptionsToControls()
{
    SetComboIndex(ComboSaveFormat, OptionsCopy.SaveFormat);
    SetComboIndex(ComboDuplicateMode, OptionsCopy.DuplicateMode);
    EditDestPath->setText(Q(OptionsCopy.DestPath));
    EditMask->setText(Q(OptionsCopy.Mask));
    CheckAlsoAttachments->setChecked(OptionsCopy.AlsoAttachments);
    CheckLog->setChecked(OptionsCopy.Log);
    EditLogPath->setText(Q(OptionsCopy.LogPath));
    EditPrefixSubject->setText(Q(OptionsCopy.PrefixSubject));
}

void TFormEditJob_ExportEmails::CheckLogClick()
{
    const bool logging = CheckLog->isChecked();
    EditLogPath->setEnabled(logging);
    ButtonBrowseLogPath->setEnabled(logging);
    // The window colour while it can be typed into, the colour of its parent while not.
    QPalette palette = EditLogPath->palette();
    palette.setColor(QPalette::Base, this->palette().color(logging ? QPalette::Base : QPalette::Window));
    EditLogPath->setPalette(palette);
}

void TFormEditJob_ExportEmails::ControlsToOptions()
{
    OptionsCopy.SaveFormat = static_cast<std::uint8_t>(ComboSaveFormat->currentIndex());
    OptionsCopy.DestPath = Trim(Text(EditDestPath));
    OptionsCopy.Mask = Trim(Text(EditMask));
    OptionsCopy.DuplicateMode = static_cast<std::uint8_t>(ComboDuplicateMode->currentIndex());
    OptionsCopy.AlsoAttachments = CheckAlsoAttachments->isChecked();
    OptionsCopy.Log = CheckLog->isChecked();
    OptionsCopy.LogPath = Trim(Text(EditLogPath));
    // Blanks before and after the prefix are part of it.
    OptionsCopy.PrefixSubject = Text(EditPrefixSubject);
}

void TFormEditJob_ExportEmails::ButtonOKClick()
{
    ControlsToOptions();
    TDMGlobal::ValidateExportEmails(OptionsCopy);
    OptionsCopy.DestPath = ConfirmDiskFolder(this, EditDestPath, OptionsCopy.DestPath);
    if (OptionsCopy.Log) OptionsCopy.LogPath = ConfirmDiskFolder(this, EditLogPath, OptionsCopy.LogPath);
    CloseWithOK();
}

void TFormEditJob_ExportEmails::ButtonBrowseDestPathClick()
{
    BrowseFolderField(*JamBrowseForFolder, EditDestPath,
                      "Select the directory, where the e-mails should be saved.");
}

void TFormEditJob_ExportEmails::ButtonBrowseLogPathClick()
{
    BrowseFolderField(*JamBrowseForFolder, EditLogPath,
                      "Select the directory, where the export should be logged.");
}
