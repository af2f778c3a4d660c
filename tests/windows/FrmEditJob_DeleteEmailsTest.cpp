// The delete-e-mails editor: at least one of its two boxes.
#include "tests/windows/EditorTestSupport.h"
#include "windows/FrmEditJob_DeleteEmails.h"

namespace {

using namespace editor_test;

class DeleteEmailsEditor : public EditorTest {
protected:
    bool Edit(std::function<void(TFormEditJob_DeleteEmails&)> script)
    {
        TFormEditJob_DeleteEmails form(nullptr);
        form.OptionsCopy.Assign(record);
        WhenModal<TFormEditJob_DeleteEmails>(std::move(script));
        const bool ok = form.Execute();
        if (ok) record.Assign(form.OptionsCopy);
        return ok;
    }
    TOptions_DeleteEmails record;
};

TEST_F(DeleteEmailsEditor, NeedsOneBoxAndStoresBoth)
{
    record.DeleteWithAtt = true;
    ASSERT_TRUE(Edit([&](TFormEditJob_DeleteEmails& w) {
        EXPECT_TRUE(IsChecked(w, "CheckWith"));
        EXPECT_FALSE(IsChecked(w, "CheckWithout"));
        SetChecked(w, "CheckWith", false);
        Click(w, "ButtonOK");
        EXPECT_TRUE(w.isVisible());
        SetChecked(w, "CheckWithout", true);
        Click(w, "ButtonOK");
    }));
    EXPECT_EQ(Shown(), std::vector<std::string>{
                           "Trovanta|Delete e-mails:\r\n\r\nYou must check at least one attachment option."});
    EXPECT_TRUE(record.DeleteWithoutAtt);
    EXPECT_FALSE(record.DeleteWithAtt);
}

}  // namespace
