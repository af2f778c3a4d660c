#include "windows/FrmEditJob_SaveAtts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "jobs/DM_Global.h"
#include "platform/runtime/Text.h"
#include "windows/ControlTools.h"
#include "windows/DiskFolders.h"
#include "windows/MaskButtons.h"
#include "windows/SlotGuard.h"
#include "windows/WhereToSave.h"

using namespace controls;

namespace {

constexpr int kMaxSizeKB = 10000;

}  // namespace

TFormEditJob_SaveAtts::TFormEditJob_SaveAtts(QWidget* parent) : TEditorDialog(parent)
{
    setObjectName(QStringLiteral("FormEditJob_SaveAtts"));
    CreateControls();
    JamBrowseForFolder = NewFolderBrowser(this);
    MakeFixedDialog();
}

void TFormEditJob_SaveAtts::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateWhereGroup());
    layout->addWidget(CreateWhatGroup());
    layout->addWidget(CreateAfterGroups());
    AddBottomRow(layout, {TBottomButton::Help, TBottomButton::OK, TBottomButton::Cancel});
    connect(CheckSaveOnlyIfSize, &QCheckBox::toggled, this, &TFormEditJob_SaveAtts::CheckSaveOnlyIfSizeClick);
    connect(ButtonBrowseDestPath, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { ButtonBrowseDestPathClick(); }); });
}

QWidget* TFormEditJob_SaveAtts::CreateWhereGroup()
{
    const TWhereToSave where = NewWhereToSaveGroup(this, "Save attachments in the following disk folder:", true);
    EditDestPath = where.EditDestPath;
    ButtonBrowseDestPath = where.ButtonBrowseDestPath;
    EditMask = where.EditMask;
    MaskButtons = where.MaskButtons;
    ComboDuplicateMode = where.ComboDuplicateMode;
    return where.Group;
}

QWidget* TFormEditJob_SaveAtts::CreateWhatGroup()
{
    QGroupBox* group = NewGroup(this, " What files to save ", "GroupWhat");
    auto* grid = new QGridLayout(group);
    grid->addWidget(NewLabel(group, "Files to save:"), 0, 0);
    grid->addWidget(NewLabel(group, "but do not save:"), 0, 1);
    MemoAttInclude = NewMaskMemo(group, "MemoAttInclude");
    MemoAttExclude = NewMaskMemo(group, "MemoAttExclude");
    MemoAttInclude->setFixedHeight(90);
    MemoAttExclude->setFixedHeight(90);
    grid->addWidget(MemoAttInclude, 1, 0);
    grid->addWidget(MemoAttExclude, 1, 1);
    auto* sizeRow = new QHBoxLayout;
    CheckSaveOnlyIfSize = NewCheck(
        group, "Save only, if size of attachment greater than or equal (in kb):", "CheckSaveOnlyIfSize");
    UpDownSaveOnlyIfSizeKB = new QSpinBox(group);
    UpDownSaveOnlyIfSizeKB->setObjectName(QStringLiteral("UpDownSaveOnlyIfSizeKB"));
    UpDownSaveOnlyIfSizeKB->setRange(0, kMaxSizeKB);
    UpDownSaveOnlyIfSizeKB->setWrapping(true);
    UpDownSaveOnlyIfSizeKB->setValue(0);
    // The number field and its up-down are one control here; the field keeps its own name.
    if (QLineEdit* field = UpDownSaveOnlyIfSizeKB->findChild<QLineEdit*>()) {
        field->setObjectName(QStringLiteral("EditSaveOnlyIfSizeKB"));
    }
    sizeRow->addWidget(CheckSaveOnlyIfSize);
    sizeRow->addWidget(UpDownSaveOnlyIfSizeKB);
    sizeRow->addStretch(1);
    grid->addLayout(sizeRow, 2, 0, 1, 2);
    return group;
}

QWidget* TFormEditJob_SaveAtts::CreateAfterGroups()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    QGroupBox* options = NewGroup(row, " Options ", "GroupOptions");
    auto* optionsLayout = new QVBoxLayout(options);
    CheckRecurseMSG = NewCheck(options, "Inspect .MSG-attachments recursively", "CheckRecurseMSG");
    optionsLayout->addWidget(CheckRecurseMSG);
    QGroupBox* after = NewGroup(row, " After saving ", "GroupAfterSaving");
    auto* afterLayout = new QVBoxLayout(after);
    ComboAfterSaveMode = NewComboList(
        after, "ComboAfterSaveMode",
        {"Nothing", "Replace the attachment with an QEL-shortcut", "Remove the attachment from the e-mail"});
    afterLayout->addWidget(ComboAfterSaveMode);
    layout->addWidget(options);
    layout->addWidget(after, 1);
    return row;
}

bool TFormEditJob_SaveAtts::Execute()
{
    OptionsToControls();
    return ShowModalOK();
}

void TFormEditJob_SaveAtts::OptionsToControls()
{
    ListToMemo(OptionsCopy.AttIncl(), MemoAttInclude);
    ListToMemo(OptionsCopy.AttExcl(), MemoAttExclude);
    CheckRecurseMSG->setChecked(OptionsCopy.RecurseMSG);
    EditDestPath->setText(Q(OptionsCopy.DestPath));
    EditMask->setText(Q(OptionsCopy.Mask));
    SetComboIndex(ComboDuplicateMode, OptionsCopy.DuplicateMode);
    SetComboIndex(ComboAfterSaveMode, OptionsCopy.AfterSaveMode);
    CheckSaveOnlyIfSize->setChecked(OptionsCopy.SaveOnlyIfSize);
    // A stored size outside the up-down's range shows as the nearer end of it.
    UpDownSaveOnlyIfSizeKB->setValue(std::clamp(OptionsCopy.SaveOnlyIfSizeKB, 0, kMaxSizeKB));
    CheckSaveOnlyIfSizeClick();
}

void TFormEditJob_SaveAtts::CheckSaveOnlyIfSizeClick()
{
    UpDownSaveOnlyIfSizeKB->setEnabled(CheckSaveOnlyIfSize->isChecked());
}

void TFormEditJob_SaveAtts::ControlsToOptions()
{
    OptionsCopy.DestPath = Trim(Text(EditDestPath));
    OptionsCopy.Mask = Trim(Text(EditMask));
    OptionsCopy.DuplicateMode = static_cast<std::uint8_t>(ComboDuplicateMode->currentIndex());
    MemoToList(MemoAttInclude, OptionsCopy.AttIncl());
    MemoToList(MemoAttExclude, OptionsCopy.AttExcl());
    OptionsCopy.RecurseMSG = CheckRecurseMSG->isChecked();
    OptionsCopy.AfterSaveMode = static_cast<std::uint8_t>(ComboAfterSaveMode->currentIndex());
    OptionsCopy.SaveOnlyIfSize = CheckSaveOnlyIfSize->isChecked();
    // A value typed but not yet confirmed counts as the field shows it.
    UpDownSaveOnlyIfSizeKB->interpretText();
    OptionsCopy.SaveOnlyIfSizeKB = UpDownSaveOnlyIfSizeKB->value();
}

void TFormEditJob_SaveAtts::ButtonOKClick()
{
    ControlsToOptions();
    TDMGlobal::ValidateSaveAttachments(OptionsCopy);
    OptionsCopy.DestPath = ConfirmDiskFolder(this, EditDestPath, OptionsCopy.DestPath);
    CloseWithOK();
}

void TFormEditJob_SaveAtts::ButtonBrowseDestPathClick()
{
    BrowseFolderField(*JamBrowseForFolder, EditDestPath,
                      "Select the directory, where the attachments should be saved.");
}
