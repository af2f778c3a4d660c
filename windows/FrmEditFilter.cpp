#include "windows/FrmEditFilter.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "jobs/DM_Global.h"
#include "windows/ControlTools.h"
#include "windows/DateTimePicker.h"

using namespace controls;

namespace {

constexpr int kMemoWidth = 220;
constexpr int kMemoHeight = 70;

/// Shows `date` ticked, or today unticked when it is 0 (no date).
void DateToPicker(TDateTime date, TDateTimePicker* picker)
{
    picker->SetDate(date != 0 ? date : Today());
    picker->SetChecked(date != 0);
}

TDateTime PickerToDate(const TDateTimePicker* picker)
{
    return picker->Checked() ? picker->Date() : 0;
}

}  // namespace

TFormEditFilter::TFormEditFilter(QWidget* parent) : TEditorDialog(parent)
{
    setObjectName(QStringLiteral("FormEditFilter"));
    CreateControls();
    MakeFixedDialog();
}

void TFormEditFilter::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateMaskGroup(" Check senders ", "Sender must match one of:", MemoSenderInclude,
                                      "MemoSenderInclude", MemoSenderExclude, "MemoSenderExclude"));
    layout->addWidget(CreateMaskGroup(" Check recipients ",
                                      "One recipient must match one of:", MemoRecipientInclude,
                                      "MemoRecipientInclude", MemoRecipientExclude, "MemoRecipientExclude"));
    layout->addWidget(CreateMaskGroup(" Check subjects ", "Subject must match one of:", MemoSubjectInclude,
                                      "MemoSubjectInclude", MemoSubjectExclude, "MemoSubjectExclude"));
    auto* row = new QHBoxLayout;
    row->addWidget(CreateDateGroup());
    row->addWidget(CreateAttachmentGroup());
    layout->addLayout(row);
    AddBottomRow(layout, {TBottomButton::Help, TBottomButton::OK, TBottomButton::Cancel});
}

QWidget* TFormEditFilter::CreateMaskGroup(const char* caption, const char* includeLabel,
                                          QPlainTextEdit*& include, const char* includeName,
                                          QPlainTextEdit*& exclude, const char* excludeName)
{
    QGroupBox* group = NewGroup(this, caption);
    auto* grid = new QGridLayout(group);
    grid->addWidget(NewLabel(group, includeLabel), 0, 0);
    grid->addWidget(NewLabel(group, "but not:"), 0, 1);
    include = NewMaskMemo(group, includeName);
    exclude = NewMaskMemo(group, excludeName);
    include->setFixedSize(kMemoWidth, kMemoHeight);
    exclude->setFixedSize(kMemoWidth, kMemoHeight);
    grid->addWidget(include, 1, 0);
    grid->addWidget(exclude, 1, 1);
    return group;
}

QWidget* TFormEditFilter::CreateDateGroup()
{
    QGroupBox* group = NewGroup(this, "Check e-mail's date ", "GroupDate");
    auto* grid = new QGridLayout(group);
    DateTimePickerFrom = new TDateTimePicker(group);
    DateTimePickerFrom->setObjectName(QStringLiteral("DateTimePickerFrom"));
    DateTimePickerTo = new TDateTimePicker(group);
    DateTimePickerTo->setObjectName(QStringLiteral("DateTimePickerTo"));
    grid->addWidget(NewLabel(group, "From:"), 0, 0);
    grid->addWidget(DateTimePickerFrom, 0, 1);
    grid->addWidget(NewLabel(group, "To:"), 1, 0);
    grid->addWidget(DateTimePickerTo, 1, 1);
    return group;
}

QWidget* TFormEditFilter::CreateAttachmentGroup()
{
    QGroupBox* group = NewGroup(this, " Check attachments ", "GroupAttachments");
    auto* layout = new QVBoxLayout(group);
    CheckWithAtt = NewCheck(group, "Process emails with attachments", "CheckWithAtt");
    CheckWithoutAtt = NewCheck(group, "Process emails without attachments", "CheckWithoutAtt");
    layout->addWidget(CheckWithAtt);
    layout->addWidget(CheckWithoutAtt);
    layout->addStretch(1);
    return group;
}

bool TFormEditFilter::Execute()
{
    OptionsToControls();
    return ShowModalOK();
}

void TFormEditFilter::OptionsToControls()
{
    ListToMemo(OptionsCopy.SenderIncl(), MemoSenderInclude);
    ListToMemo(OptionsCopy.SenderExcl(), MemoSenderExclude);
    ListToMemo(OptionsCopy.RecipientIncl(), MemoRecipientInclude);
    ListToMemo(OptionsCopy.RecipientExcl(), MemoRecipientExclude);
    ListToMemo(OptionsCopy.SubjectIncl(), MemoSubjectInclude);
    ListToMemo(OptionsCopy.SubjectExcl(), MemoSubjectExclude);
    DateToPicker(OptionsCopy.DateFrom, DateTimePickerFrom);
    DateToPicker(OptionsCopy.DateTo, DateTimePickerTo);
    CheckWithAtt->setChecked(OptionsCopy.HasAtt);
    CheckWithoutAtt->setChecked(OptionsCopy.HasNoAtt);
}

void TFormEditFilter::ControlsToOptions()
{
    MemoToList(MemoSenderInclude, OptionsCopy.SenderIncl());
    MemoToList(MemoSenderExclude, OptionsCopy.SenderExcl());
    MemoToList(MemoRecipientInclude, OptionsCopy.RecipientIncl());
    MemoToList(MemoRecipientExclude, OptionsCopy.RecipientExcl());
    MemoToList(MemoSubjectInclude, OptionsCopy.SubjectIncl());
    MemoToList(MemoSubjectExclude, OptionsCopy.SubjectExcl());
    OptionsCopy.DateFrom = PickerToDate(DateTimePickerFrom);
    OptionsCopy.DateTo = PickerToDate(DateTimePickerTo);
    OptionsCopy.HasAtt = CheckWithAtt->isChecked();
    OptionsCopy.HasNoAtt = CheckWithoutAtt->isChecked();
}

void TFormEditFilter::ButtonOKClick()
{
    ControlsToOptions();
    TDMGlobal::ValidateFilter(OptionsCopy);
    CloseWithOK();
}
