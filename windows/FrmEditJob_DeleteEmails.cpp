#include "windows/FrmEditJob_DeleteEmails.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

#include "jobs/DM_Global.h"
#include "windows/ControlTools.h"

using namespace controls;

TFormEditJob_DeleteEmails::TFormEditJob_DeleteEmails(QWidget* parent) : TEditorDialog(parent)
{
    setObjectName(QStringLiteral("FormEditJob_DeleteEmails"));
    auto* layout = new QVBoxLayout(this);
    QGroupBox* group = NewGroup(this, " Delete e-mails ", "GroupDeleteEmails");
    auto* groupLayout = new QVBoxLayout(group);
    CheckWithout = NewCheck(group, "Delete e-mails not having attachments", "CheckWithout");
    CheckWith = NewCheck(group, "Delete e-mails having attachments", "CheckWith");
    groupLayout->addWidget(CheckWithout);
    groupLayout->addWidget(CheckWith);
    layout->addWidget(group);
    AddBottomRow(layout, {TBottomButton::Help, TBottomButton::OK, TBottomButton::Cancel});
    MakeFixedDialog();
}

bool TFormEditJob_DeleteEmails::Execute()
{
    CheckWithout->setChecked(OptionsCopy.DeleteWithoutAtt);
    CheckWith->setChecked(OptionsCopy.DeleteWithAtt);
    return ShowModalOK();
}

void TFormEditJob_DeleteEmails::ButtonOKClick()
{
    OptionsCopy.DeleteWithoutAtt = CheckWithout->isChecked();
    OptionsCopy.DeleteWithAtt = CheckWith->isChecked();
    TDMGlobal::ValidateDeleteEmails(OptionsCopy);
    CloseWithOK();
}
