// The confirm-replace and file-not-found prompts: texts, buttons and their modal results.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <string>
#include <vector>

#include "engine/ShortcutPrompts.h"
#include "jobs/FileTools.h"
#include "tests/support/ui/ScriptedUserInterface.h"
#include "tests/windows/ModalDriver.h"
#include "tests/support/ui/Screenshot.h"
#include "windows/FrmConfirmReplace.h"
#include "windows/FrmNotFound.h"
#include "windows/WindowShortcutPrompts.h"

namespace {

const std::string kAtt = "docs\\Report 2024.pdf.qel";
const std::string kOrg = "/srv/archive/2024/Report 2024.pdf";

QString Text(QWidget* window, const char* name)
{
    auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(edit, nullptr) << name;
    return edit != nullptr ? edit->text() : QString();
}

QString Hint(QWidget* window, const char* name)
{
    auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(name));
    return edit != nullptr ? edit->toolTip() : QString();
}

/// The captions of the visible push buttons, left to right.
std::vector<std::string> VisibleButtons(QWidget* window)
{
    std::vector<std::pair<int, std::string>> found;
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->isVisible()) found.emplace_back(button->x(), button->text().toStdString());
    std::sort(found.begin(), found.end());
    std::vector<std::string> captions;
    for (const auto& [x, caption] : found) captions.push_back(caption);
    return captions;
}

class ShortcutPrompts : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetHelpHandler([](const std::string& file, int context) { return ui::Ui().ShowHelp(file, context); });
    }
    void TearDown() override { SetHelpHandler(nullptr); }

    ui::ScopedScriptedUi user;
};

int ConfirmWith(const std::function<void(QWidget*)>& answer)
{
    test::OnNextModal(answer);
    TWindowShortcutPrompts prompts;
    return prompts.ConfirmReplace(kAtt, kOrg);
}

int NotFoundWith(bool allowKeep, bool allowRemove, const std::function<void(QWidget*)>& answer)
{
    test::OnNextModal(answer);
    TWindowShortcutPrompts prompts;
    return prompts.ShowFileNotFound(kAtt, kOrg, allowKeep, allowRemove);
}

TEST_F(ShortcutPrompts, ConfirmReplaceShowsTheAttachmentWithItsFolderAndTheFileWithItsPath)
{
    const int result = ConfirmWith([](QWidget* window) {
        EXPECT_EQ(window->windowTitle(), "Trovanta");
        EXPECT_EQ(Text(window, "EditAttFilename").toStdString(), kAtt);
        EXPECT_EQ(Text(window, "EditOrgFilename").toStdString(), kOrg);
        EXPECT_EQ(Hint(window, "EditOrgFilename").toStdString(), kOrg);
        EXPECT_TRUE(Hint(window, "EditAttFilename").isEmpty());
        auto* question = window->findChild<QLabel*>("LabelQuestion");
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(question->text(), "Would you like to replace the shortcut with the original file?");
        EXPECT_EQ(window->findChild<QLabel*>("LabelAttachment")->text(), "The attachment");
        EXPECT_EQ(window->findChild<QLabel*>("LabelShortcut")->text(), "contains a shortcut to the file");
        EXPECT_EQ(VisibleButtons(window),
                  (std::vector<std::string>{"Yes", "No", "Yes to all", "Cancel", "Help"}));
        auto* field = window->findChild<QLineEdit*>("EditAttFilename");
        EXPECT_TRUE(field->isReadOnly());
        EXPECT_FALSE(field->focusPolicy() & Qt::TabFocus);
        test::ScreenshotIfAsked(*window, "FrmConfirmReplace");
        test::ClickButton(window, "ButtonYes");
    });
    EXPECT_EQ(result, prompt::mrYes);
}

TEST_F(ShortcutPrompts, ConfirmReplaceReturnsTheModalResultOfEachWayOut)
{
    EXPECT_EQ(ConfirmWith([](QWidget* w) { test::ClickButton(w, "ButtonNo"); }), 7);
    EXPECT_EQ(ConfirmWith([](QWidget* w) { test::ClickButton(w, "ButtonYesToAll"); }), 10);
    EXPECT_EQ(ConfirmWith([](QWidget* w) { test::ClickButton(w, "ButtonCancel"); }), 2);
    EXPECT_EQ(ConfirmWith([](QWidget* w) { test::PressEscape(w); }), 2);
    EXPECT_EQ(ConfirmWith([](QWidget* w) { w->close(); }), 2);
}

TEST_F(ShortcutPrompts, HelpShowsItsTopicAndLeavesThePromptOpen)
{
    EXPECT_EQ(ConfirmWith([](QWidget* w) {
                  test::ClickButton(w, "ButtonHelp");
                  EXPECT_TRUE(w->isVisible());
                  test::ClickButton(w, "ButtonNo");
              }),
              prompt::mrNo);
    EXPECT_EQ(NotFoundWith(true, true,
                           [](QWidget* w) {
                               test::ClickButton(w, "ButtonHelp");
                               EXPECT_TRUE(w->isVisible());
                               test::ClickButton(w, "ButtonDontReplace");
                           }),
              prompt::mrDontReplace);
    EXPECT_EQ(user->HelpTopics, (std::vector<int>{41, 40}));
}

TEST_F(ShortcutPrompts, NotFoundShowsBothNamesWithoutTheirFolders)
{
    const int result = NotFoundWith(true, true, [](QWidget* window) {
        EXPECT_EQ(window->windowTitle(), "Trovanta");
        EXPECT_EQ(Text(window, "EditAttFilename"), "Report 2024.pdf.qel");
        EXPECT_EQ(Text(window, "EditOrgFilename"), "Report 2024.pdf");
        EXPECT_EQ(Hint(window, "EditOrgFilename").toStdString(), kOrg);
        auto* info = window->findChild<QLabel*>("LabelNotFoundInfo");
        ASSERT_NE(info, nullptr);
        EXPECT_TRUE(info->wordWrap());
        EXPECT_EQ(info->text(),
                  "The file could not be found.\n\nMaybe the file has been moved to another location. "
                  "In this case you have to edit the search paths.");
        test::ScreenshotIfAsked(*window, "FrmNotFound");
        test::ClickButton(window, "ButtonEdit");
    });
    EXPECT_EQ(result, prompt::mrSearchPaths);
}

TEST_F(ShortcutPrompts, NotFoundOffersKeepAndRemoveExactlyWhenAllowed)
{
    struct Case {
        bool keep, remove;
        std::vector<std::string> buttons;
    };
    const std::vector<Case> cases = {
        {true, true, {"Search paths...", "Do not replace", "Remove attachment", "Cancel", "Help"}},
        {true, false, {"Search paths...", "Do not replace", "Cancel", "Help"}},
        {false, true, {"Search paths...", "Remove attachment", "Cancel", "Help"}},
        {false, false, {"Search paths...", "Cancel", "Help"}},
    };
    for (const Case& c : cases) {
        NotFoundWith(c.keep, c.remove, [&c](QWidget* window) {
            EXPECT_EQ(VisibleButtons(window), c.buttons) << c.keep << c.remove;
            EXPECT_EQ(window->findChild<QPushButton*>("ButtonDontReplace")->isEnabled(), c.keep);
            EXPECT_EQ(window->findChild<QPushButton*>("ButtonRemoveAtt")->isEnabled(), c.remove);
            test::ClickButton(window, "ButtonCancel");
        });
    }
}

TEST_F(ShortcutPrompts, NotFoundReturnsTheModalResultOfEachWayOut)
{
    EXPECT_EQ(NotFoundWith(true, true, [](QWidget* w) { test::ClickButton(w, "ButtonRemoveAtt"); }), 103);
    EXPECT_EQ(NotFoundWith(true, false, [](QWidget* w) { test::ClickButton(w, "ButtonDontReplace"); }), 102);
    EXPECT_EQ(NotFoundWith(false, false, [](QWidget* w) { test::ClickButton(w, "ButtonCancel"); }), 2);
    EXPECT_EQ(NotFoundWith(false, false, [](QWidget* w) { test::PressEscape(w); }), 2);
    EXPECT_EQ(NotFoundWith(true, true, [](QWidget* w) { w->close(); }), 2);
}

TEST_F(ShortcutPrompts, ShowFileNotFoundTakesAWindowsPathApartAtItsBackslashes)
{
    test::OnNextModal([](QWidget* window) {
        EXPECT_EQ(Text(window, "EditAttFilename"), "Plan.xls.qel");
        EXPECT_EQ(Text(window, "EditOrgFilename"), "Plan.xls");
        EXPECT_EQ(Hint(window, "EditOrgFilename"), "C:\\Data\\Plan.xls");
        test::ClickButton(window, "ButtonDontReplace");
    });
    EXPECT_EQ(ShowFileNotFound(nullptr, "Plan.xls.qel", "C:\\Data\\Plan.xls", true, false),
              prompt::mrDontReplace);
}

}  // namespace
