// What all editors share: the help topic of each "Help" button and the bottom buttons.
#include <QPushButton>

#include "tests/windows/EditorTestSupport.h"
#include "windows/FrmEditAutoOption.h"
#include "windows/FrmEditFilter.h"
#include "windows/FrmEditJob_CopyMove.h"
#include "windows/FrmEditJob_DeleteAtts.h"
#include "windows/FrmEditJob_DeleteEmails.h"
#include "windows/FrmEditJob_ExportEmails.h"
#include "windows/FrmEditJob_SaveAtts.h"
#include "windows/FrmEditMe.h"
#include "windows/FrmEditSendOptions.h"

namespace {

using namespace editor_test;

class EditorWindows : public EditorTest {
protected:
    /// Opens a TForm, clicks "Help" and checks the bottom row; returns the topics shown.
    template <class TForm>
    int HelpTopicOf()
    {
        user_->HelpTopics.clear();
        TForm form(nullptr);
        WhenModal<TForm>([](TForm& w) {
            EXPECT_TRUE(Child<QPushButton>(w, "ButtonOK")->isDefault()) << w.objectName().toStdString();
            Click(w, "ButtonHelp");
            EXPECT_TRUE(w.isVisible());
            Click(w, "ButtonCancel");
        });
        form.Execute();
        EXPECT_EQ(form.result(), TEditorDialog::mrCancel);
        return user_->HelpTopics.size() == 1 ? user_->HelpTopics[0] : -1;
    }
};

TEST_F(EditorWindows, HelpButtonsShowTheirTopics)
{
    EXPECT_EQ(HelpTopicOf<TFormEditJob_SaveAtts>(), 25);
    EXPECT_EQ(HelpTopicOf<TFormEditJob_CopyMove>(), 22);
    EXPECT_EQ(HelpTopicOf<TFormEditJob_ExportEmails>(), 23);
    EXPECT_EQ(HelpTopicOf<TFormEditJob_DeleteAtts>(), 26);
    EXPECT_EQ(HelpTopicOf<TFormEditJob_DeleteEmails>(), 28);
    EXPECT_EQ(HelpTopicOf<TFormEditFilter>(), 21);
    EXPECT_EQ(HelpTopicOf<TFormEditAutoOption>(), 31);
    EXPECT_EQ(HelpTopicOf<TFormEditSendOptions>(), 41);
    EXPECT_EQ(HelpTopicOf<TFormEditMe>(), 43);
}

}  // namespace
