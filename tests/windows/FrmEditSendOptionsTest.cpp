// The send option editor: one radio button per replace mode; the batch-only mode shows as "ask".
#include "tests/windows/EditorTestSupport.h"
#include "windows/FrmEditSendOptions.h"

namespace {

using namespace editor_test;

class SendOptionsEditor : public EditorTest {
protected:
    /// Opens the editor on `mode`, ticks `tick` (when given) and closes it with OK.
    int RunWith(std::uint8_t mode, const char* expectTicked, const char* tick)
    {
        TFormEditSendOptions form(nullptr);
        form.OptionsCopy.ReplaceMode = mode;
        WhenModal<TFormEditSendOptions>([&](TFormEditSendOptions& w) {
            EXPECT_EQ(w.windowTitle(), "Send options");
            EXPECT_TRUE(IsChecked(w, expectTicked)) << "mode " << int(mode);
            if (tick) Click(w, tick);
            Click(w, "ButtonOK");
        });
        EXPECT_TRUE(form.Execute());
        return form.OptionsCopy.ReplaceMode;
    }
};

TEST_F(SendOptionsEditor, ModesShowAsTheirButtonsAndComeBackFromThem)
{
    EXPECT_EQ(RunWith(0, "RadioAsk", nullptr), 0);
    EXPECT_EQ(RunWith(1, "RadioAlways", nullptr), 1);
    EXPECT_EQ(RunWith(2, "RadioNever", nullptr), 2);
    EXPECT_EQ(RunWith(3, "RadioAsk", nullptr), 0);
    EXPECT_EQ(RunWith(0, "RadioAsk", "RadioNever"), 2);
    EXPECT_EQ(RunWith(2, "RadioNever", "RadioAlways"), 1);
}

}  // namespace
