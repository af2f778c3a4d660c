#include "windows/FrmEditAutoOption.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "jobs/DM_Global.h"
#include "platform/runtime/Exception.h"
#include "windows/ControlTools.h"
#include "windows/FrmEditJob_ExportEmails.h"
#include "windows/FrmEditJob_SaveAtts.h"
#include "windows/SlotGuard.h"

using namespace controls;

namespace {

/// Sets a flag for the life of a scope and clears it again, also when an exception passes.
class TScopedFlag {
public:
    explicit TScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~TScopedFlag() { flag_ = false; }
    TScopedFlag(const TScopedFlag&) = delete;
    TScopedFlag& operator=(const TScopedFlag&) = delete;

private:
    bool& flag_;
};

/// Runs an action editor of type TForm on `part`: the part in, the caption of `box`, and the
/// part back only when the editor closes with OK.
template <class TForm, class TPart>
void EditPart(QWidget* owner, TPart& part, const QCheckBox* box)
{
    TForm form(owner);
    form.OptionsCopy.Assign(part);
    form.setWindowTitle(box->text());
    if (form.Execute()) part.Assign(form.OptionsCopy);
}

}  // namespace

TFormEditAutoOption::TFormEditAutoOption(QWidget* parent) : TEditorDialog(parent)
{
    setObjectName(QStringLiteral("FormEditAutoOption"));
    setWindowTitle(QStringLiteral("Automatically process incoming e-mails"));
    CreateControls();
    MakeFixedDialog();
}

void TFormEditAutoOption::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateMaskGroup());
    layout->addWidget(CreateActionGroup());
    AddBottomRow(layout, {TBottomButton::OK, TBottomButton::Cancel, TBottomButton::Help});
    connect(CheckExportEmails, &QCheckBox::toggled, this,
            [this] { Guarded(this, [this] { CheckExportEmailsClick(); }); });
    connect(CheckSaveAttachments, &QCheckBox::toggled, this,
            [this] { Guarded(this, [this] { CheckSaveAttachmentsClick(); }); });
    connect(ButtonEmails, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { ButtonEmailsClick(); }); });
    connect(ButtonAttachments, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { ButtonAttachmentsClick(); }); });
}

QWidget* TFormEditAutoOption::CreateMaskGroup()
{
    QGroupBox* group = NewGroup(this, " Process the following incoming e-mails ", "GroupMasks");
    auto* grid = new QGridLayout(group);
    EditSender = NewEdit(group, "EditSender");
    EditRecipient = NewEdit(group, "EditRecipient");
    EditSubject = NewEdit(group, "EditSubject");
    grid->addWidget(NewLabel(group, "Sender mask:"), 0, 0);
    grid->addWidget(EditSender, 0, 1);
    grid->addWidget(NewLabel(group, "Recipient mask:"), 1, 0);
    grid->addWidget(EditRecipient, 1, 1);
    grid->addWidget(NewLabel(group, "Subject mask:"), 2, 0);
    grid->addWidget(EditSubject, 2, 1);
    grid->setColumnMinimumWidth(1, 300);
    return group;
}

QWidget* TFormEditAutoOption::CreateActionGroup()
{
    QGroupBox* group = NewGroup(this, " What to do with these e-mails ", "GroupActions");
    auto* grid = new QGridLayout(group);
    CheckExportEmails = NewCheck(group, "1. Export e-mails", "CheckExportEmails");
    CheckSaveAttachments = NewCheck(group, "2. Save attachments", "CheckSaveAttachments");
    ButtonEmails = new QPushButton(QStringLiteral("Edit..."), group);
    ButtonEmails->setObjectName(QStringLiteral("ButtonEmails"));
    ButtonEmails->setAutoDefault(false);
    ButtonAttachments = new QPushButton(QStringLiteral("Edit..."), group);
    ButtonAttachments->setObjectName(QStringLiteral("ButtonAttachments"));
    ButtonAttachments->setAutoDefault(false);
    grid->addWidget(CheckExportEmails, 0, 0);
    grid->addWidget(ButtonEmails, 0, 1);
    grid->addWidget(CheckSaveAttachments, 1, 0);
    grid->addWidget(ButtonAttachments, 1, 1);
    grid->setColumnStretch(0, 1);
    return group;
}

bool TFormEditAutoOption::Execute()
{
    CheckExportEmails->setText(QStringLiteral("1. Export e-mails"));
    CheckSaveAttachments->setText(QStringLiteral("2. Save attachments"));
    OptionsToControls();
    return ShowModalOK();
}

void TFormEditAutoOption::OptionsToControls()
{
    const TScopedFlag updating(Updating);
    EditSender->setText(Q(OptionsCopy.Sender));
    EditRecipient->setText(Q(OptionsCopy.Recipient));
    EditSubject->setText(Q(OptionsCopy.Subject));
    CheckExportEmails->setChecked(OptionsCopy.ExportEmails().Active);
    CheckSaveAttachments->setChecked(OptionsCopy.SaveAttachments().Active);
    CheckExportEmailsClick();
    CheckSaveAttachmentsClick();
}

void TFormEditAutoOption::ControlsToOptions()
{
    // The masks as typed: blanks may be part of a mask.
    OptionsCopy.Sender = Text(EditSender);
    OptionsCopy.Recipient = Text(EditRecipient);
    OptionsCopy.Subject = Text(EditSubject);
    OptionsCopy.ExportEmails().Active = CheckExportEmails->isChecked();
    OptionsCopy.SaveAttachments().Active = CheckSaveAttachments->isChecked();
}

void TFormEditAutoOption::CheckExportEmailsClick()
{
    ButtonEmails->setEnabled(CheckExportEmails->isChecked());
    EmphasiseCheckBox(CheckExportEmails);
    if (CheckExportEmails->isChecked() && !Updating) ButtonEmailsClick();
}

void TFormEditAutoOption::CheckSaveAttachmentsClick()
{
    ButtonAttachments->setEnabled(CheckSaveAttachments->isChecked());
    EmphasiseCheckBox(CheckSaveAttachments);
    if (CheckSaveAttachments->isChecked() && !Updating) ButtonAttachmentsClick();
}

void TFormEditAutoOption::EmphasiseCheckBox(QCheckBox* box)
{
    QFont font = box->font();
    font.setBold(box->isChecked());
    font.setUnderline(box->isChecked());
    box->setFont(font);
}

void TFormEditAutoOption::ButtonEmailsClick()
{
    EditPart<TFormEditJob_ExportEmails>(this, OptionsCopy.ExportEmails(), CheckExportEmails);
}

void TFormEditAutoOption::ButtonAttachmentsClick()
{
    EditPart<TFormEditJob_SaveAtts>(this, OptionsCopy.SaveAttachments(), CheckSaveAttachments);
}

void TFormEditAutoOption::ButtonOKClick()
{
    ControlsToOptions();
    if (!OptionsCopy.ExportEmails().Active && !OptionsCopy.SaveAttachments().Active) {
        throw Exception("No actions defined for processing the e-mails.");
    }
    TDMGlobal::ValidateJob(-1, OptionsCopy);
    CloseWithOK();
}
