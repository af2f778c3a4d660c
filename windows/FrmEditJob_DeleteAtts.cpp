#include "windows/FrmEditJob_DeleteAtts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "windows/ControlTools.h"

using namespace controls;

TFormEditJob_DeleteAtts::TFormEditJob_DeleteAtts(QWidget* parent) : TEditorDialog(parent)
{
    setObjectName(QStringLiteral("FormEditJob_DeleteAtts"));
    auto* layout = new QVBoxLayout(this);
    QGroupBox* group = NewGroup(this, " Delete attachments ", "GroupDeleteAttachments");
    auto* grid = new QGridLayout(group);
    grid->addWidget(NewLabel(group, "Attachments to delete:"), 0, 0);
    grid->addWidget(NewLabel(group, "but do not delete:"), 0, 1);
    MemoAttInclude = NewMaskMemo(group, "MemoAttInclude");
    MemoAttExclude = NewMaskMemo(group, "MemoAttExclude");
    for (QPlainTextEdit* memo : {MemoAttInclude, MemoAttExclude}) memo->setFixedSize(200, 120);
    grid->addWidget(MemoAttInclude, 1, 0);
    grid->addWidget(MemoAttExclude, 1, 1);
    layout->addWidget(group);
    AddBottomRow(layout, {TBottomButton::Help, TBottomButton::OK, TBottomButton::Cancel});
    MakeFixedDialog();
}

bool TFormEditJob_DeleteAtts::Execute()
{
    ListToMemo(OptionsCopy.AttIncl(), MemoAttInclude);
    ListToMemo(OptionsCopy.AttExcl(), MemoAttExclude);
    return ShowModalOK();
}

void TFormEditJob_DeleteAtts::ButtonOKClick()
{
    MemoToList(MemoAttInclude, OptionsCopy.AttIncl());
    MemoToList(MemoAttExclude, OptionsCopy.AttExcl());
    CloseWithOK();
}
