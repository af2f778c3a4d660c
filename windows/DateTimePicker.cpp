#include "windows/DateTimePicker.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLocale>

TDateTimePicker::TDateTimePicker(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    check_ = new QCheckBox(this);
    check_->setObjectName(QStringLiteral("CheckBox"));
    edit_ = new QDateEdit(this);
    edit_->setObjectName(QStringLiteral("DateEdit"));
    edit_->setCalendarPopup(true);
    edit_->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    edit_->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    layout->addWidget(check_);
    layout->addWidget(edit_, 1);
    connect(check_, &QCheckBox::toggled, edit_, &QDateEdit::setEnabled);
    SetChecked(false);
    SetDate(Today());
}

bool TDateTimePicker::Checked() const
{
    return check_->isChecked();
}

void TDateTimePicker::SetChecked(bool checked)
{
    check_->setChecked(checked);
    edit_->setEnabled(checked);
}

TDateTime TDateTimePicker::Date() const
{
    const QDate date = edit_->date();
    return EncodeDate(date.year(), date.month(), date.day());
}

void TDateTimePicker::SetDate(TDateTime date)
{
    int year = 0;
    int month = 0;
    int day = 0;
    DecodeDate(date, year, month, day);
    edit_->setDate(QDate(year, month, day));
}
