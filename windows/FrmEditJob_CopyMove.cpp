#include "windows/FrmEditJob_CopyMove.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/OutlookTools.h"
#include "jobs/DM_Global.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Text.h"
#include "windows/ControlTools.h"
#include "windows/MaskButtons.h"
#include "windows/OutlookFolderPicker.h"
#include "windows/SlotGuard.h"

using namespace controls;

TFormEditJob_CopyMove::TFormEditJob_CopyMove(QWidget* parent) : TEditorDialog(parent)
{
    setObjectName(QStringLiteral("FormEditJob_CopyMove"));
    CreateControls();
    MakeFixedDialog();
}

void TFormEditJob_CopyMove::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    GroupFolder = NewGroup(this, " Copy e-mails to folder ", "GroupFolder");
    auto* grid = new QGridLayout(GroupFolder);
    Label1 = NewLabel(GroupFolder, "Copy e-mails into the Outlook-folder:");
    Label1->setObjectName(QStringLiteral("Label1"));
    grid->addWidget(Label1, 0, 0, 1, 2);
    EditFoldername = NewEdit(GroupFolder, "EditFoldername");
    EditFoldername->setReadOnly(true);
    EditFoldername->setFocusPolicy(Qt::ClickFocus);
    // The colour of its parent: it shows a choice, it is not typed into.
    QPalette palette = EditFoldername->palette();
    palette.setColor(QPalette::Base, GroupFolder->palette().color(QPalette::Window));
    EditFoldername->setPalette(palette);
    ButtonPickFolder = NewBrowseButton(GroupFolder, "ButtonPickFolder");
    grid->addWidget(EditFoldername, 1, 0);
    grid->addWidget(ButtonPickFolder, 1, 1);
    auto* maskRow = new QHBoxLayout;
    maskRow->addWidget(NewLabel(GroupFolder, "Mask for generating subfolders:"));
    maskRow->addStretch(1);
    maskRow->addWidget(NewMyEmailsLink(this));
    grid->addLayout(maskRow, 2, 0, 1, 2);
    EditMask = NewEdit(GroupFolder, "EditMask");
    grid->addWidget(EditMask, 3, 0, 1, 2);
    MaskButtons = new TMaskButtons(GroupFolder, EditMask, false);
    MaskButtons->setObjectName(QStringLiteral("MaskButtons"));
    grid->addWidget(MaskButtons, 4, 0, 1, 2);
    layout->addWidget(GroupFolder);
    AddBottomRow(layout, {TBottomButton::Help, TBottomButton::OK, TBottomButton::Cancel});
    connect(ButtonPickFolder, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { ButtonPickFolderClick(); }); });
}

bool TFormEditJob_CopyMove::Execute()
{
    GroupFolder->setTitle(MoveMode ? QStringLiteral(" Move e-mails to folder ")
                                   : QStringLiteral(" Copy e-mails to folder "));
    Label1->setText(MoveMode ? QStringLiteral("Move e-mails into the Outlook-folder:")
                             : QStringLiteral("Copy e-mails into the Outlook-folder:"));
    CheckFolder();
    EditMask->setText(Q(OptionsCopy.Mask));
    return ShowModalOK();
}

void TFormEditJob_CopyMove::CheckFolder()
{
    std::string current;
    if (OutlookApp) current = GetFolderPathFromID(*OutlookApp, OptionsCopy.Entry, OptionsCopy.Store);
    if (!SameText(current, OptionsCopy.FullName) || current.empty()) {
        // Gone, renamed or moved since it was chosen: show it as not chosen.
        OptionsCopy.Entry.clear();
        OptionsCopy.Store.clear();
        OptionsCopy.FullName.clear();
    } else {
        OptionsCopy.FullName = current;
    }
    ShowFolderName();
}

void TFormEditJob_CopyMove::ShowFolderName()
{
    EditFoldername->setText(Q(OptionsCopy.FullName));
    EditFoldername->setToolTip(Q(OptionsCopy.FullName));
}

void TFormEditJob_CopyMove::ButtonPickFolderClick()
{
    if (!OutlookApp) throw Exception("No Outlook application available.");
    const ComPtr<outlook::IMAPIFolder> folder = PickOutlookFolder(this, *OutlookApp);
    if (!folder) return;
    OptionsCopy.Entry = folder->EntryID();
    OptionsCopy.Store = folder->StoreID();
    OptionsCopy.FullName = GetFolderPath(folder);
    ShowFolderName();
}

void TFormEditJob_CopyMove::ControlsToOptions()
{
    OptionsCopy.Mask = Trim(Text(EditMask));
}

void TFormEditJob_CopyMove::ButtonOKClick()
{
    ControlsToOptions();
    if (MoveMode) {
        TDMGlobal::ValidateMoveEmails(OptionsCopy);
    } else {
        TDMGlobal::ValidateCopyEmails(OptionsCopy);
    }
    CloseWithOK();
}
