// The rule editor: the masks, the two parts and their editors opened from it.
#include <QCheckBox>
#include <QPushButton>

#include <filesystem>

#include "tests/windows/EditorTestSupport.h"
#include "windows/FrmEditAutoOption.h"
#include "windows/FrmEditJob_ExportEmails.h"
#include "windows/FrmEditJob_SaveAtts.h"

namespace {

using namespace editor_test;

class RuleEditor : public EditorTest {
protected:
    bool Edit(std::function<void(TFormEditAutoOption&)> script)
    {
        TFormEditAutoOption form(nullptr);
        form.OptionsCopy.Assign(rule);
        WhenModal<TFormEditAutoOption>(std::move(script));
        const bool ok = form.Execute();
        if (ok) rule.Assign(form.OptionsCopy);
        return ok;
    }
    static bool Emphasised(QWidget& w, const char* box)
    {
        const QFont font = Child<QCheckBox>(w, box)->font();
        return font.bold() && font.underline();
    }
    std::string Folder(const char* name) const
    {
        std::filesystem::create_directories(home_.Path() / name);
        return (home_.Path() / name).string();
    }

    TJobOptions rule;
};

TEST_F(RuleEditor, NewRuleOpensWithStarsAndNothingTickedAndOKNeedsAnAction)
{
    EXPECT_FALSE(Edit([&](TFormEditAutoOption& w) {
        EXPECT_EQ(w.windowTitle(), "Automatically process incoming e-mails");
        EXPECT_EQ(GetText(w, "EditSender"), "*");
        EXPECT_EQ(GetText(w, "EditRecipient"), "*");
        EXPECT_EQ(GetText(w, "EditSubject"), "*");
        EXPECT_EQ(Child<QCheckBox>(w, "CheckExportEmails")->text(), "1. Export e-mails");
        EXPECT_EQ(Child<QCheckBox>(w, "CheckSaveAttachments")->text(), "2. Save attachments");
        EXPECT_FALSE(IsChecked(w, "CheckExportEmails"));
        EXPECT_FALSE(IsChecked(w, "CheckSaveAttachments"));
        EXPECT_FALSE(Child<QPushButton>(w, "ButtonEmails")->isEnabled());
        EXPECT_FALSE(Child<QPushButton>(w, "ButtonAttachments")->isEnabled());
        EXPECT_FALSE(Emphasised(w, "CheckExportEmails"));
        Click(w, "ButtonOK");
        EXPECT_TRUE(w.isVisible());
        Click(w, "ButtonCancel");
    }));
    EXPECT_EQ(Shown(), std::vector<std::string>{"Trovanta|No actions defined for processing the e-mails."});
}

TEST_F(RuleEditor, TickingAPartByHandOpensItsEditorAndCancelLeavesItTicked)
{
    ASSERT_TRUE(Edit([&](TFormEditAutoOption& w) {
        WhenModal<TFormEditJob_ExportEmails>([&](TFormEditJob_ExportEmails& e) {
            EXPECT_EQ(e.windowTitle(), "1. Export e-mails");
            EXPECT_EQ(e.parentWidget(), &w);
            SetText(e, "EditDestPath", Folder("mails"));
            Click(e, "ButtonOK");
        });
        Click(w, "CheckExportEmails");
        EXPECT_TRUE(Emphasised(w, "CheckExportEmails"));
        EXPECT_TRUE(Child<QPushButton>(w, "ButtonEmails")->isEnabled());
        WhenModal<TFormEditJob_SaveAtts>([&](TFormEditJob_SaveAtts& s) {
            EXPECT_EQ(s.windowTitle(), "2. Save attachments");
            Click(s, "ButtonCancel");
        });
        Click(w, "CheckSaveAttachments");
        EXPECT_TRUE(IsChecked(w, "CheckSaveAttachments"));
        // The save part has no folder yet: its validation keeps the rule editor open.
        Click(w, "ButtonOK");
        EXPECT_TRUE(w.isVisible());
        Click(w, "CheckSaveAttachments");
        EXPECT_FALSE(Emphasised(w, "CheckSaveAttachments"));
        EXPECT_FALSE(Child<QPushButton>(w, "ButtonAttachments")->isEnabled());
        Click(w, "ButtonOK");
    }));
    EXPECT_EQ(Shown(), std::vector<std::string>{
                           "Trovanta|Save attachments:\r\n\r\nDestination directory not specified."});
    EXPECT_TRUE(rule.ExportEmails().Active);
    EXPECT_EQ(rule.ExportEmails().DestPath, (home_.Path() / "mails").string());
    EXPECT_FALSE(rule.SaveAttachments().Active);
}

TEST_F(RuleEditor, OpeningAnActiveRuleOpensNoEditorAndEditButtonsDo)
{
    rule.Sender = " *@example.com; ann@* ";
    rule.Subject = "Report*";
    rule.ExportEmails().Active = true;
    rule.ExportEmails().DestPath = Folder("mails");
    rule.SaveAttachments().DestPath = Folder("atts");
    rule.SaveAttachments().Mask = "[FE]";
    ASSERT_TRUE(Edit([&](TFormEditAutoOption& w) {
        EXPECT_EQ(GetText(w, "EditSender"), " *@example.com; ann@* ");
        EXPECT_TRUE(IsChecked(w, "CheckExportEmails"));
        EXPECT_TRUE(Emphasised(w, "CheckExportEmails"));
        EXPECT_FALSE(IsChecked(w, "CheckSaveAttachments"));
        WhenModal<TFormEditJob_ExportEmails>([&](TFormEditJob_ExportEmails& e) {
            EXPECT_EQ(GetText(e, "EditDestPath"), (home_.Path() / "mails").string());
            SetText(e, "EditMask", "[B]");
            Click(e, "ButtonOK");
        });
        Click(w, "ButtonEmails");
        SetText(w, "EditRecipient", " me@* ");
        Click(w, "ButtonOK");
    }));
    EXPECT_EQ(rule.Sender, " *@example.com; ann@* ");  // masks as typed
    EXPECT_EQ(rule.Recipient, " me@* ");
    EXPECT_EQ(rule.ExportEmails().Mask, "[B]");
    EXPECT_TRUE(rule.ExportEmails().Active);
    EXPECT_EQ(rule.SaveAttachments().Mask, "[FE]");
    EXPECT_TRUE(user_->Messages.empty());
}

TEST_F(RuleEditor, FailingActivePartShowsItsMessageWithoutARuleNumber)
{
    rule.ExportEmails().Active = true;
    const TJobOptions before = rule;
    EXPECT_FALSE(Edit([&](TFormEditAutoOption& w) {
        Click(w, "ButtonOK");
        EXPECT_TRUE(w.isVisible());
        SetText(w, "EditSubject", "changed");
        Click(w, "ButtonCancel");
    }));
    EXPECT_EQ(Shown(), std::vector<std::string>{
                           "Trovanta|Export e-mails:\r\n\r\nDestination directory not specified."});
    EXPECT_EQ(rule.Subject, before.Subject);
}

}  // namespace
