// The filter editor: mask lists, the two optional dates and the attachment boxes.
#include <QCheckBox>
#include <QDateEdit>

#include "tests/windows/EditorTestSupport.h"
#include "windows/DateTimePicker.h"
#include "windows/FrmEditFilter.h"

namespace {

using namespace editor_test;

class FilterEditor : public EditorTest {
protected:
    bool Edit(std::function<void(TFormEditFilter&)> script)
    {
        TFormEditFilter form(nullptr);
        form.OptionsCopy.Assign(record);
        form.setWindowTitle("Use filter");
        WhenModal<TFormEditFilter>(std::move(script));
        const bool ok = form.Execute();
        if (ok) record.Assign(form.OptionsCopy);
        return ok;
    }
    static TDateTimePicker* Picker(QWidget& w, const char* name) { return Child<TDateTimePicker>(w, name); }

    TOptions_Filter record;
};

TEST_F(FilterEditor, UnsetDatesOpenUntickedOnTodayAndStayUnset)
{
    record.HasAtt = true;
    ASSERT_TRUE(Edit([&](TFormEditFilter& w) {
        for (const char* name : {"DateTimePickerFrom", "DateTimePickerTo"}) {
            EXPECT_FALSE(Picker(w, name)->Checked());
            EXPECT_FALSE(Picker(w, name)->DateEdit()->isEnabled());
            EXPECT_EQ(Picker(w, name)->Date(), Today());
        }
        Click(w, "ButtonOK");
    }));
    EXPECT_EQ(record.DateFrom, 0);
    EXPECT_EQ(record.DateTo, 0);
}

TEST_F(FilterEditor, StoredDatesShowTickedAndOnlyTickedDatesAreStored)
{
    record.HasNoAtt = true;
    record.DateTo = EncodeDate(2024, 3, 31);
    ASSERT_TRUE(Edit([&](TFormEditFilter& w) {
        EXPECT_FALSE(Picker(w, "DateTimePickerFrom")->Checked());
        EXPECT_TRUE(Picker(w, "DateTimePickerTo")->Checked());
        EXPECT_EQ(Picker(w, "DateTimePickerTo")->DateEdit()->date(), QDate(2024, 3, 31));
        Picker(w, "DateTimePickerFrom")->CheckBox()->click();
        Picker(w, "DateTimePickerFrom")->DateEdit()->setDate(QDate(2024, 1, 15));
        Picker(w, "DateTimePickerTo")->CheckBox()->click();
        Click(w, "ButtonOK");
    }));
    EXPECT_EQ(record.DateFrom, EncodeDate(2024, 1, 15));
    EXPECT_EQ(record.DateTo, 0);
}

TEST_F(FilterEditor, MaskListsAndAttachmentBoxesRoundTrip)
{
    record.SenderIncl().SetText("*@example.com\r\nann@*");
    record.RecipientExcl().SetText("noreply@*");
    record.SubjectIncl().SetText("Invoice*");
    record.HasAtt = true;
    ASSERT_TRUE(Edit([&](TFormEditFilter& w) {
        EXPECT_EQ(GetMemo(w, "MemoSenderInclude"), "*@example.com\nann@*");
        EXPECT_EQ(GetMemo(w, "MemoSenderExclude"), "");
        EXPECT_EQ(GetMemo(w, "MemoRecipientExclude"), "noreply@*");
        EXPECT_EQ(GetMemo(w, "MemoSubjectInclude"), "Invoice*");
        EXPECT_TRUE(IsChecked(w, "CheckWithAtt"));
        EXPECT_FALSE(IsChecked(w, "CheckWithoutAtt"));
        SetMemo(w, "MemoSenderInclude", "");
        SetMemo(w, "MemoRecipientInclude", "bob@*\n");
        SetMemo(w, "MemoSubjectExclude", "*spam*");
        SetChecked(w, "CheckWithoutAtt", true);
        Click(w, "ButtonOK");
    }));
    EXPECT_TRUE(record.SenderIncl().Empty());
    EXPECT_EQ(record.RecipientIncl().Text(), "bob@*\r\n");
    EXPECT_EQ(record.RecipientExcl().Text(), "noreply@*\r\n");
    EXPECT_EQ(record.SubjectExcl().Text(), "*spam*\r\n");
    EXPECT_TRUE(record.HasAtt);
    EXPECT_TRUE(record.HasNoAtt);
}

TEST_F(FilterEditor, ReversedDatesAndNoAttachmentBoxKeepTheWindowOpen)
{
    record.HasAtt = true;
    record.DateFrom = EncodeDate(2024, 5, 2);
    record.DateTo = EncodeDate(2024, 5, 1);
    const TOptions_Filter before = record;
    EXPECT_FALSE(Edit([&](TFormEditFilter& w) {
        Click(w, "ButtonOK");
        EXPECT_TRUE(w.isVisible());
        Picker(w, "DateTimePickerTo")->DateEdit()->setDate(QDate(2024, 5, 2));
        SetChecked(w, "CheckWithAtt", false);
        Click(w, "ButtonOK");
        EXPECT_TRUE(w.isVisible());
        Click(w, "ButtonCancel");
    }));
    EXPECT_EQ(Shown(), (std::vector<std::string>{
                           "Trovanta|Use filter:\r\n\r\nDate <from> is later than date <to>.",
                           "Trovanta|Use filter:\r\n\r\nYou must check at least one attachment option.",
                       }));
    EXPECT_EQ(record.DateTo, before.DateTo);
    EXPECT_TRUE(record.HasAtt);
}

}  // namespace
