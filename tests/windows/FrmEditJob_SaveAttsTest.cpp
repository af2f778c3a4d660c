// The save-attachments editor: the record in and out, the size field, the folder question and
// the placeholder buttons (the buttons are the same row in the export and copy/move editors).
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

#include <filesystem>

#include "tests/windows/EditorTestSupport.h"
#include "windows/DiskFolders.h"
#include "windows/FrmEditJob_SaveAtts.h"
#include "windows/JamBrowseDialog.h"
#include "windows/MaskButtons.h"

namespace {

using namespace editor_test;
namespace fs = std::filesystem;

class SaveAttsEditor : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        record.Active = true;
        record.DestPath = (home_.Path() / "atts").string();
        fs::create_directories(record.DestPath);
        record.Mask = "[SN]\\[FE]";
        record.DuplicateMode = 1;
        record.AfterSaveMode = 2;
        record.RecurseMSG = true;
        record.SaveOnlyIfSize = true;
        record.SaveOnlyIfSizeKB = 250;
        record.AttIncl().SetText("*.pdf\r\n*.doc");
        record.AttExcl().SetText("~*");
    }
    /// Runs the editor on `record` as a caller does; the record changes only on OK.
    bool Edit(std::function<void(TFormEditJob_SaveAtts&)> script)
    {
        TFormEditJob_SaveAtts form(nullptr);
        form.OptionsCopy.Assign(record);
        form.setWindowTitle("4. Save attachments");
        WhenModal<TFormEditJob_SaveAtts>(std::move(script));
        const bool ok = form.Execute();
        if (ok) record.Assign(form.OptionsCopy);
        return ok;
    }

    TOptions_SaveAttachments record;
};

TEST_F(SaveAttsEditor, ShowsTheRecordAndStoresTheControlsOnOK)
{
    ASSERT_TRUE(Edit([&](TFormEditJob_SaveAtts& w) {
        EXPECT_EQ(GetText(w, "EditDestPath"), record.DestPath);
        EXPECT_EQ(GetText(w, "EditMask"), "[SN]\\[FE]");
        EXPECT_EQ(ComboIndex(w, "ComboDuplicateMode"), 1);
        EXPECT_EQ(ComboIndex(w, "ComboAfterSaveMode"), 2);
        EXPECT_TRUE(IsChecked(w, "CheckRecurseMSG"));
        EXPECT_TRUE(IsChecked(w, "CheckSaveOnlyIfSize"));
        EXPECT_EQ(Child<QSpinBox>(w, "UpDownSaveOnlyIfSizeKB")->value(), 250);
        EXPECT_EQ(GetMemo(w, "MemoAttInclude"), "*.pdf\n*.doc");
        EXPECT_EQ(GetMemo(w, "MemoAttExclude"), "~*");
        SetText(w, "EditMask", "  [B] - [F][E]  ");
        SetText(w, "EditDestPath", "  " + record.DestPath + "  ");
        Child<QComboBox>(w, "ComboDuplicateMode")->setCurrentIndex(0);
        Child<QComboBox>(w, "ComboAfterSaveMode")->setCurrentIndex(1);
        SetChecked(w, "CheckRecurseMSG", false);
        SetMemo(w, "MemoAttInclude", "*.xls\n\n*.txt\n");
        SetMemo(w, "MemoAttExclude", "");
        Click(w, "ButtonOK");
    }));
    EXPECT_TRUE(record.Active);  // not shown, carried through
    EXPECT_EQ(record.Mask, "[B] - [F][E]");
    EXPECT_EQ(record.DestPath, (home_.Path() / "atts").string());
    EXPECT_EQ(record.DuplicateMode, 0);
    EXPECT_EQ(record.AfterSaveMode, 1);
    EXPECT_FALSE(record.RecurseMSG);
    EXPECT_EQ(record.AttIncl().Text(), "*.xls\r\n\r\n*.txt\r\n");
    EXPECT_TRUE(record.AttExcl().Empty());
    EXPECT_TRUE(user_->Messages.empty());
}

TEST_F(SaveAttsEditor, CancelEscAndTheCloseBoxLeaveTheCallersRecordAlone)
{
    const TOptions_SaveAttachments before = record;
    const std::function<void(QDialog&)> closers[] = {
        [](QDialog& w) { Click(w, "ButtonCancel"); },
        [](QDialog& w) { w.reject(); },  // Esc
        [](QDialog& w) { w.close(); },
    };
    for (const auto& close : closers) {
        EXPECT_FALSE(Edit([&](TFormEditJob_SaveAtts& w) {
            SetText(w, "EditMask", "[T]");
            SetMemo(w, "MemoAttInclude", "*.zip");
            close(w);
        }));
        EXPECT_EQ(record.Mask, before.Mask);
        EXPECT_EQ(record.AttIncl().Text(), before.AttIncl().Text());
    }
}

TEST_F(SaveAttsEditor, SizeFieldFollowsItsBoxAndWrapsAroundWithinItsRange)
{
    record.SaveOnlyIfSize = false;
    record.SaveOnlyIfSizeKB = 0;
    ASSERT_TRUE(Edit([&](TFormEditJob_SaveAtts& w) {
        auto* upDown = Child<QSpinBox>(w, "UpDownSaveOnlyIfSizeKB");
        EXPECT_FALSE(upDown->isEnabled());
        EXPECT_EQ(Child<QLineEdit>(w, "EditSaveOnlyIfSizeKB")->text(), "0");
        SetChecked(w, "CheckSaveOnlyIfSize", true);
        EXPECT_TRUE(upDown->isEnabled());
        upDown->stepDown();
        EXPECT_EQ(upDown->value(), 10000);
        upDown->stepUp();
        EXPECT_EQ(upDown->value(), 0);
        upDown->stepUp();
        Click(w, "ButtonOK");
    }));
    EXPECT_TRUE(record.SaveOnlyIfSize);
    EXPECT_EQ(record.SaveOnlyIfSizeKB, 1);
}

TEST_F(SaveAttsEditor, ValuesOutsideTheListsShowTheFirstItemAndAreStoredAsIt)
{
    record.DuplicateMode = 7;
    record.AfterSaveMode = 200;
    record.SaveOnlyIfSizeKB = 123456;
    ASSERT_TRUE(Edit([&](TFormEditJob_SaveAtts& w) {
        EXPECT_EQ(ComboIndex(w, "ComboDuplicateMode"), 0);
        EXPECT_EQ(ComboIndex(w, "ComboAfterSaveMode"), 0);
        Click(w, "ButtonOK");
    }));
    EXPECT_EQ(record.DuplicateMode, 0);
    EXPECT_EQ(record.AfterSaveMode, 0);
    EXPECT_EQ(record.SaveOnlyIfSizeKB, 10000);
}

TEST_F(SaveAttsEditor, ValidationFailuresAreShownAndTheWindowStaysOpen)
{
    EXPECT_FALSE(Edit([&](TFormEditJob_SaveAtts& w) {
        SetText(w, "EditDestPath", "   ");
        Click(w, "ButtonOK");
        SetText(w, "EditDestPath", record.DestPath);
        SetText(w, "EditMask", "");
        Click(w, "ButtonOK");
        SetText(w, "EditMask", "[SN]\\[XX]");
        Click(w, "ButtonOK");
        EXPECT_TRUE(w.isVisible());
        // What the user typed is in the window's copy, not in the caller's record.
        auto& form = static_cast<TFormEditJob_SaveAtts&>(w);
        EXPECT_EQ(form.OptionsCopy.Mask, "[SN]\\[XX]");
        Click(w, "ButtonCancel");
    }));
    EXPECT_EQ(Shown(), (std::vector<std::string>{
                           "Trovanta|Save attachments:\r\n\r\nDestination directory not specified.",
                           "Trovanta|Save attachments:\r\n\r\nFilename mask not specified.",
                           "Trovanta|Save attachments:\r\n\r\nInvalid subfolder/file mask: [SN]\\[XX].",
                       }));
    EXPECT_EQ(user_->Messages[0].Icon, ui::MsgIcon::Error);
    EXPECT_EQ(record.Mask, "[SN]\\[FE]");
}

TEST_F(SaveAttsEditor, RelativeFolderIsStoredAsAFullPath)
{
    const fs::path previous = fs::current_path();
    fs::current_path(home_.Path());
    const bool ok = Edit([&](TFormEditJob_SaveAtts& w) {
        SetText(w, "EditDestPath", "./sub/../atts");
        Click(w, "ButtonOK");
    });
    fs::current_path(previous);
    ASSERT_TRUE(ok);
    EXPECT_EQ(record.DestPath, (home_.Path() / "atts").string());
    EXPECT_TRUE(user_->Messages.empty());
}

TEST_F(SaveAttsEditor, MissingFolderIsCreatedWithItsParentsAfterYes)
{
    const fs::path missing = home_.Path() / "new" / "deeper" / "atts";
    user_->Answers = {ui::idYes};
    ASSERT_TRUE(Edit([&](TFormEditJob_SaveAtts& w) {
        SetText(w, "EditDestPath", missing.string());
        Click(w, "ButtonOK");
    }));
    ASSERT_EQ(user_->Messages.size(), 1u);
    const ui::AskedMessage& asked = user_->Messages[0];
    EXPECT_EQ(asked.Text,
              "The directory " + missing.string() + " does not exist.\r\n\r\nWould you like to create it?");
    EXPECT_EQ(asked.Caption, "Trovanta");
    EXPECT_EQ(asked.Icon, ui::MsgIcon::Question);
    EXPECT_EQ(asked.Buttons, static_cast<unsigned>(ui::mbYesNo));
    EXPECT_TRUE(fs::is_directory(missing));
    EXPECT_EQ(record.DestPath, missing.string());
}

TEST_F(SaveAttsEditor, MissingFolderAnsweredNoKeepsTheWindowOpenWithoutAWord)
{
    const fs::path missing = home_.Path() / "nowhere";
    user_->Answers = {ui::idNo};
    const std::string before = record.DestPath;
    EXPECT_FALSE(Edit([&](TFormEditJob_SaveAtts& w) {
        w.activateWindow();
        SetText(w, "EditDestPath", missing.string());
        Child<QLineEdit>(w, "EditMask")->setFocus();
        Click(w, "ButtonOK");
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.focusWidget(), Child<QWidget>(w, "EditDestPath"));
        Click(w, "ButtonCancel");
    }));
    EXPECT_EQ(user_->Messages.size(), 1u);  // the question; the silent abort shows nothing
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(record.DestPath, before);
}

TEST_F(SaveAttsEditor, BrowsingStartsAtTheFieldsFolderAndAVirtualChoiceEmptiesTheField)
{
    const fs::path other = home_.Path() / "other";
    fs::create_directories(other);
    EXPECT_FALSE(Edit([&](TFormEditJob_SaveAtts& w) {
        WhenModal<TJamBrowseDialog>([&](TJamBrowseDialog& b) {
            EXPECT_EQ(Child<QLabel>(b, "LabelTitle")->text(),
                      "Select the directory, where the attachments should be saved.");
            ASSERT_TRUE(b.SelectItem(*PathToPidl(std::nullopt, other.string())));
            Click(b, "ButtonOK");
        });
        Click(w, "ButtonBrowseDestPath");
        EXPECT_EQ(GetText(w, "EditDestPath"), other.string());
        WhenModal<TJamBrowseDialog>([](TJamBrowseDialog& b) { Click(b, "ButtonCancel"); });
        Click(w, "ButtonBrowseDestPath");
        EXPECT_EQ(GetText(w, "EditDestPath"), other.string());
        WhenModal<TJamBrowseDialog>([](TJamBrowseDialog& b) {
            ASSERT_TRUE(b.SelectItem(*GetSpecialFolderPidl(SF_DRIVES)));
            Click(b, "ButtonOK");
        });
        Click(w, "ButtonBrowseDestPath");
        EXPECT_EQ(GetText(w, "EditDestPath"), "");
        Click(w, "ButtonCancel");
    }));
    QLineEdit field;
    TakeBrowsedFolder(&field, "/home/user/attachments");
    EXPECT_EQ(field.text(), "/home/user/attachments");
}

TEST_F(SaveAttsEditor, PlaceholderButtonsAppendWithoutFocusAndReplaceTheSelectionWithIt)
{
    ASSERT_TRUE(Edit([&](TFormEditJob_SaveAtts& w) {
        auto* mask = Child<QLineEdit>(w, "EditMask");
        SetText(w, "EditMask", "[SN]");
        Child<QLineEdit>(w, "EditDestPath")->setFocus();
        Click(w, "ButtonMaskB");
        EXPECT_EQ(mask->text(), "[SN][B]");
        EXPECT_EQ(w.focusWidget(), mask);
        Click(w, "ButtonMaskBackslash");
        Click(w, "ButtonMaskFE");
        EXPECT_EQ(mask->text(), "[SN][B]\\[FE]");
        // The focus in the mask with "[B]" selected: the token takes the selection's place.
        mask->setSelection(4, 3);
        Click(w, "ButtonMaskSpaceMinusSpace");
        EXPECT_EQ(mask->text(), "[SN] - \\[FE]");
        mask->setCursorPosition(0);
        Click(w, "ButtonMaskT");
        EXPECT_EQ(mask->text(), "[T][SN] - \\[FE]");
        Click(w, "ButtonOK");
    }));
    EXPECT_EQ(record.Mask, "[T][SN] - \\[FE]");
}

TEST_F(SaveAttsEditor, PlaceholderButtonsCarryTheirHintsAndTakeNoFocus)
{
    ASSERT_TRUE(Edit([&](TFormEditJob_SaveAtts& w) {
        const auto& buttons = Child<TMaskButtons>(w, "MaskButtons")->Buttons();
        ASSERT_EQ(buttons.size(), 29u);
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            EXPECT_EQ(buttons[i]->text().toStdString(), MaskButtonInfos[i].Caption);
            EXPECT_EQ(buttons[i]->toolTip().toStdString(), MaskButtonInfos[i].Hint);
            EXPECT_EQ(buttons[i]->focusPolicy(), Qt::NoFocus);
        }
        EXPECT_EQ(
            Child<QToolButton>(w, "ButtonMaskME")->toolTip().toStdString(),
            "\"My e-mail address\": if I am the sender then this e-mail address, else recipient's e-mail "
            "address");
        Click(w, "ButtonOK");
    }));
}

}  // namespace
