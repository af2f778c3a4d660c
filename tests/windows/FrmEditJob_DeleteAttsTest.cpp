// The delete-attachments editor: both mask lists in and out, empty lists accepted.
#include "tests/windows/EditorTestSupport.h"
#include "windows/FrmEditJob_DeleteAtts.h"

namespace {

using namespace editor_test;

class DeleteAttsEditor : public EditorTest {
protected:
    bool Edit(std::function<void(TFormEditJob_DeleteAtts&)> script)
    {
        TFormEditJob_DeleteAtts form(nullptr);
        form.OptionsCopy.Assign(record);
        WhenModal<TFormEditJob_DeleteAtts>(std::move(script));
        const bool ok = form.Execute();
        if (ok) record.Assign(form.OptionsCopy);
        return ok;
    }
    TOptions_DeleteAttachments record;
};

TEST_F(DeleteAttsEditor, ListsRoundTripAndEmptyListsAreAccepted)
{
    record.Active = true;
    record.AttIncl().SetText("*.exe\r\n*.scr");
    record.AttExcl().SetText("setup.exe");
    ASSERT_TRUE(Edit([&](TFormEditJob_DeleteAtts& w) {
        EXPECT_EQ(GetMemo(w, "MemoAttInclude"), "*.exe\n*.scr");
        EXPECT_EQ(GetMemo(w, "MemoAttExclude"), "setup.exe");
        SetMemo(w, "MemoAttInclude", "*.bat");
        Click(w, "ButtonOK");
    }));
    EXPECT_EQ(record.AttIncl().Text(), "*.bat\r\n");
    EXPECT_EQ(record.AttExcl().Text(), "setup.exe\r\n");
    ASSERT_TRUE(Edit([&](TFormEditJob_DeleteAtts& w) {
        SetMemo(w, "MemoAttInclude", "");
        SetMemo(w, "MemoAttExclude", "");
        Click(w, "ButtonOK");
    }));
    EXPECT_TRUE(record.AttIncl().Empty());
    EXPECT_TRUE(record.AttExcl().Empty());
    EXPECT_TRUE(record.Active);
    EXPECT_TRUE(user_->Messages.empty());
}

TEST_F(DeleteAttsEditor, CancelKeepsTheLists)
{
    record.AttIncl().SetText("*.exe");
    EXPECT_FALSE(Edit([&](TFormEditJob_DeleteAtts& w) {
        SetMemo(w, "MemoAttInclude", "");
        Click(w, "ButtonCancel");
    }));
    EXPECT_EQ(record.AttIncl().Text(), "*.exe\r\n");
}

}  // namespace
