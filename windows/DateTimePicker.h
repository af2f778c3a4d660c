#pragma once
// A date field with a drop-down calendar and a tick box of its own that switches the date on
// or off: the short-date picker of the filter editor.

#include <QWidget>

#include "platform/runtime/DateTime.h"

class QCheckBox;
class QDateEdit;

class TDateTimePicker : public QWidget {
    Q_OBJECT

public:
    explicit TDateTimePicker(QWidget* parent);

    /// Whether the tick box is ticked; the date field is enabled exactly while it is.
    bool Checked() const;
    void SetChecked(bool checked);
    /// The shown date (time of day 0).
    TDateTime Date() const;
    /// Shows the date part of `date`.
    void SetDate(TDateTime date);

    QCheckBox* CheckBox() const { return check_; }
    QDateEdit* DateEdit() const { return edit_; }

private:
    QCheckBox* check_;
    QDateEdit* edit_;
};
