// The export editor: the record in and out, the log folder with and without logging.
#include <QLineEdit>

#include <filesystem>

#include "tests/windows/EditorTestSupport.h"
#include "windows/FrmEditJob_ExportEmails.h"
#include "windows/MaskButtons.h"

namespace {

using namespace editor_test;
namespace fs = std::filesystem;

class ExportEditor : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        record.Clear();
        record.DestPath = (home_.Path() / "mails").string();
        fs::create_directories(record.DestPath);
    }
    bool Edit(std::function<void(TFormEditJob_ExportEmails&)> script)
    {
        TFormEditJob_ExportEmails form(nullptr);
        form.OptionsCopy.Assign(record);
        form.setWindowTitle("2. Export e-mails");
        WhenModal<TFormEditJob_ExportEmails>(std::move(script));
        const bool ok = form.Execute();
        if (ok) record.Assign(form.OptionsCopy);
        return ok;
    }

    TOptions_ExportEmails record;
};

TEST_F(ExportEditor, ShowsTheRecordAndStoresTheControlsOnOK)
{
    record.SaveFormat = 4;
    record.DuplicateMode = 1;
    record.AlsoAttachments = true;
    record.PrefixSubject = "[saved] ";
    ASSERT_TRUE(Edit([&](TFormEditJob_ExportEmails& w) {
        EXPECT_EQ(ComboIndex(w, "ComboSaveFormat"), 4);
        EXPECT_EQ(ComboIndex(w, "ComboDuplicateMode"), 1);
        EXPECT_EQ(GetText(w, "EditMask"), "[SE] - [RE] - [B]");
        EXPECT_TRUE(IsChecked(w, "CheckAlsoAttachments"));
        EXPECT_EQ(GetText(w, "EditPrefixSubject"), "[saved] ");
        EXPECT_FALSE(Child<QWidget>(w, "EditLogPath")->isEnabled());
        EXPECT_FALSE(Child<QWidget>(w, "ButtonBrowseLogPath")->isEnabled());
        Child<QComboBox>(w, "ComboSaveFormat")->setCurrentIndex(1);
        SetText(w, "EditPrefixSubject", "  Done: ");
        SetText(w, "EditMask", " [T] ");
        SetChecked(w, "CheckAlsoAttachments", false);
        Click(w, "ButtonOK");
    }));
    EXPECT_EQ(record.SaveFormat, 1);
    EXPECT_EQ(record.PrefixSubject, "  Done: ");  // blanks are part of the prefix
    EXPECT_EQ(record.Mask, "[T]");
    EXPECT_FALSE(record.AlsoAttachments);
    EXPECT_FALSE(record.Active);
}

TEST_F(ExportEditor, LoggingOffKeepsTheTrimmedLogFolderAndAsksNothingAboutIt)
{
    ASSERT_TRUE(Edit([&](TFormEditJob_ExportEmails& w) {
        SetText(w, "EditLogPath", "  relative/missing  ");
        Click(w, "ButtonOK");
    }));
    EXPECT_EQ(record.LogPath, "relative/missing");
    EXPECT_FALSE(record.Log);
    EXPECT_TRUE(user_->Messages.empty());
}

TEST_F(ExportEditor, LoggingOnAsksForAMissingLogFolderAndCreatesItOnYes)
{
    const fs::path logs = home_.Path() / "logs" / "export";
    user_->Answers = {ui::idYes};
    ASSERT_TRUE(Edit([&](TFormEditJob_ExportEmails& w) {
        SetChecked(w, "CheckLog", true);
        EXPECT_TRUE(Child<QWidget>(w, "EditLogPath")->isEnabled());
        EXPECT_TRUE(Child<QWidget>(w, "ButtonBrowseLogPath")->isEnabled());
        SetText(w, "EditLogPath", logs.string());
        Click(w, "ButtonOK");
    }));
    ASSERT_EQ(user_->Messages.size(), 1u);
    EXPECT_EQ(user_->Messages[0].Text,
              "The directory " + logs.string() + " does not exist.\r\n\r\nWould you like to create it?");
    EXPECT_TRUE(fs::is_directory(logs));
    EXPECT_TRUE(record.Log);
    EXPECT_EQ(record.LogPath, logs.string());
}

TEST_F(ExportEditor, NoToTheLogFolderFocusesTheLogFieldAndKeepsTheWindowOpen)
{
    user_->Answers = {ui::idNo};
    EXPECT_FALSE(Edit([&](TFormEditJob_ExportEmails& w) {
        SetChecked(w, "CheckLog", true);
        SetText(w, "EditLogPath", (home_.Path() / "nologs").string());
        Click(w, "ButtonOK");
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.focusWidget(), Child<QWidget>(w, "EditLogPath"));
        Click(w, "ButtonCancel");
    }));
    EXPECT_FALSE(fs::exists(home_.Path() / "nologs"));
    EXPECT_FALSE(record.Log);
}

TEST_F(ExportEditor, ALogFolderThatCannotBeCreatedIsNamedAndKeepsTheWindowOpen)
{
    test::WriteFile(home_.Path() / "plain", "a file, not a folder");
    const fs::path logs = home_.Path() / "plain" / "logs";
    user_->Answers = {ui::idYes};
    EXPECT_FALSE(Edit([&](TFormEditJob_ExportEmails& w) {
        SetChecked(w, "CheckLog", true);
        SetText(w, "EditLogPath", logs.string());
        Click(w, "ButtonOK");
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.focusWidget(), Child<QWidget>(w, "EditLogPath"));
        Click(w, "ButtonCancel");
    }));
    ASSERT_EQ(user_->Messages.size(), 2u);
    EXPECT_EQ(user_->Messages[1].Text, "Cannot create the directory " + logs.string() + ".");
    EXPECT_FALSE(record.Log);
}

TEST_F(ExportEditor, ValidationNeedsALogFolderWhenLoggingAndRefusesAttachmentPlaceholders)
{
    EXPECT_FALSE(Edit([&](TFormEditJob_ExportEmails& w) {
        SetChecked(w, "CheckLog", true);
        Click(w, "ButtonOK");
        SetChecked(w, "CheckLog", false);
        SetText(w, "EditMask", "[B].[FE]");
        Click(w, "ButtonOK");
        EXPECT_TRUE(w.isVisible());
        Click(w, "ButtonCancel");
    }));
    EXPECT_EQ(Shown(), (std::vector<std::string>{
                           "Trovanta|Export e-mails:\r\n\r\nYou must specify a Log-directory",
                           "Trovanta|Export e-mails:\r\n\r\nInvalid subfolder/file mask: [B].[FE].",
                       }));
}

TEST_F(ExportEditor, HasThePlaceholderButtonsWithoutTheAttachmentOnes)
{
    ASSERT_TRUE(Edit([&](TFormEditJob_ExportEmails& w) {
        EXPECT_EQ(Child<TMaskButtons>(w, "MaskButtons")->Buttons().size(), 24u);
        EXPECT_EQ(w.findChild<QWidget*>("ButtonMaskFE"), nullptr);
        SetText(w, "EditMask", "");
        Click(w, "ButtonMaskY");
        Click(w, "ButtonMaskBackslash");
        Click(w, "ButtonMaskNN");
        Click(w, "ButtonOK");
    }));
    EXPECT_EQ(record.Mask, "[Y]\\[NN]");
}

}  // namespace
