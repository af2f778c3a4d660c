// The search path list window and the pair editor: filling, adding, editing, removing and
// moving pairs, the buttons' states and the round trip of the list.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "jobs/FileTools.h"
#include "jobs/SearchPathList.h"
#include "tests/support/ui/Screenshot.h"
#include "tests/support/ui/ScriptedUserInterface.h"
#include "tests/windows/ModalDriver.h"
#include "windows/FrmEditSearchPath.h"
#include "windows/FrmEditSearchPaths.h"
#include "windows/WindowShortcutPrompts.h"

namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

QTreeWidget* ListOf(QWidget* window)
{
    auto* list = window->findChild<QTreeWidget*>("ListView");
    EXPECT_NE(list, nullptr);
    return list;
}

Rows RowsOf(QWidget* window)
{
    Rows rows;
    QTreeWidget* list = ListOf(window);
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows.emplace_back(list->topLevelItem(i)->text(0).toStdString(),
                          list->topLevelItem(i)->text(1).toStdString());
    return rows;
}

int SelectedRow(QWidget* window)
{
    QTreeWidget* list = ListOf(window);
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.front());
}

void SelectRow(QWidget* window, int row)
{
    QTreeWidget* list = ListOf(window);
    list->setCurrentItem(list->topLevelItem(row));
}

bool Enabled(QWidget* window, const char* name)
{
    return window->findChild<QPushButton*>(name)->isEnabled();
}

/// Edit..., Remove, Up, Down.
std::vector<bool> RowButtons(QWidget* window)
{
    return {Enabled(window, "ButtonEdit"), Enabled(window, "ButtonRemove"), Enabled(window, "ButtonUp"),
            Enabled(window, "ButtonDown")};
}

QLineEdit* Field(QWidget* window, const char* name)
{
    return window->findChild<QLineEdit*>(name);
}

/// Clicks ButtonName of the list window and answers the pair editor that opens with the two
/// folders (OK) or, with Cancel, cancels it.
void EditPairVia(QWidget* list, const char* buttonName, const std::string& org, const std::string& next,
                 bool ok = true)
{
    test::OnNextModal([&](QWidget* pair) {
        Field(pair, "EditOrgPath")->setText(QString::fromStdString(org));
        Field(pair, "EditNewPath")->setText(QString::fromStdString(next));
        test::ClickButton(pair, ok ? "ButtonOK" : "ButtonCancel");
    });
    test::ClickButton(list, buttonName);
}

class SearchPathEditors : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetHelpHandler([](const std::string& file, int context) { return ui::Ui().ShowHelp(file, context); });
        List.SetText("/old/docs=/new/docs\nlonely\n/a=/b=c\n");
    }
    void TearDown() override { SetHelpHandler(nullptr); }

    /// Runs the list window over List with Script; its result.
    bool Edit(const std::function<void(QWidget*)>& script)
    {
        test::OnNextModal(script);
        return EditSearchPaths(nullptr, "/default/org/", List);
    }

    ui::ScopedScriptedUi user;
    TSearchPathList List;
};

TEST_F(SearchPathEditors, ListShowsOnePairPerRowAndWritesEveryRowBackWithItsEqualsSign)
{
    const bool accepted = Edit([](QWidget* window) {
        EXPECT_EQ(window->windowTitle(), "Trovanta - Edit search paths");
        QTreeWidget* list = ListOf(window);
        EXPECT_EQ(list->headerItem()->text(0), "Original root path");
        EXPECT_EQ(list->headerItem()->text(1), "also search here");
        EXPECT_EQ(list->columnWidth(0), 200);
        EXPECT_EQ(RowsOf(window), (Rows{{"/old/docs", "/new/docs"}, {"lonely", ""}, {"/a", "/b=c"}}));
        EXPECT_EQ(RowButtons(window), (std::vector<bool>{false, false, false, false}));
        test::ScreenshotIfAsked(*window, "FrmEditSearchPaths");
        test::ClickButton(window, "ButtonOK");
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(List.Text(), "/old/docs=/new/docs\r\nlonely=\r\n/a=/b=c\r\n");
}

TEST_F(SearchPathEditors, RowButtonsFollowTheSelection)
{
    Edit([](QWidget* window) {
        SelectRow(window, 0);
        EXPECT_EQ(RowButtons(window), (std::vector<bool>{true, true, false, true}));
        SelectRow(window, 1);
        EXPECT_EQ(RowButtons(window), (std::vector<bool>{true, true, true, true}));
        SelectRow(window, 2);
        EXPECT_EQ(RowButtons(window), (std::vector<bool>{true, true, true, false}));
        ListOf(window)->clearSelection();
        EXPECT_EQ(RowButtons(window), (std::vector<bool>{false, false, false, false}));
        test::ClickButton(window, "ButtonCancel");
    });
}

TEST_F(SearchPathEditors, AddAppendsWithoutSelectionAndInsertsBeforeTheSelectedRow)
{
    const bool accepted = Edit([](QWidget* window) {
        EditPairVia(window, "ButtonAdd", "/end/org", "/end/new");
        EXPECT_EQ(RowsOf(window).back(), (std::pair<std::string, std::string>{"/end/org", "/end/new"}));
        EXPECT_EQ(SelectedRow(window), 3);
        SelectRow(window, 1);
        EditPairVia(window, "ButtonAdd", "/second/org", "/second/new");
        EXPECT_EQ(RowsOf(window)[1], (std::pair<std::string, std::string>{"/second/org", "/second/new"}));
        EXPECT_EQ(RowsOf(window)[2].first, "lonely");
        EXPECT_EQ(SelectedRow(window), 1);
        test::ClickButton(window, "ButtonOK");
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(List.Count(), 5u);
    EXPECT_EQ(List[1], "/second/org=/second/new");
    EXPECT_EQ(List[4], "/end/org=/end/new");
}

TEST_F(SearchPathEditors, AddOffersTheDefaultOriginalRootAndAnEmptyNewRoot)
{
    Edit([](QWidget* window) {
        test::OnNextModal([](QWidget* pair) {
            EXPECT_EQ(pair->windowTitle(), "New search path");
            EXPECT_EQ(Field(pair, "EditOrgPath")->text(), "/default/org/");
            EXPECT_EQ(Field(pair, "EditNewPath")->text(), "");
            EXPECT_EQ(pair->focusWidget(), Field(pair, "EditNewPath"));
            test::ScreenshotIfAsked(*pair, "FrmEditSearchPath");
            test::ClickButton(pair, "ButtonCancel");
        });
        test::ClickButton(window, "ButtonAdd");
        EXPECT_EQ(RowsOf(window).size(), 3u);
        test::ClickButton(window, "ButtonCancel");
    });
}

TEST_F(SearchPathEditors, EditChangesTheSelectedRowInPlace)
{
    const bool accepted = Edit([](QWidget* window) {
        SelectRow(window, 1);
        test::OnNextModal([](QWidget* pair) {
            EXPECT_EQ(pair->windowTitle(), "Edit search path");
            EXPECT_EQ(Field(pair, "EditOrgPath")->text(), "lonely");
            EXPECT_EQ(Field(pair, "EditNewPath")->text(), "");
            Field(pair, "EditOrgPath")->setText("/was/here");
            Field(pair, "EditNewPath")->setText("/is/there");
            test::ClickButton(pair, "ButtonOK");
        });
        test::ClickButton(window, "ButtonEdit");
        EXPECT_EQ(RowsOf(window)[1], (std::pair<std::string, std::string>{"/was/here", "/is/there"}));
        EditPairVia(window, "ButtonEdit", "/not", "/taken", false);
        EXPECT_EQ(RowsOf(window)[1].first, "/was/here");
        test::ClickButton(window, "ButtonOK");
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(List[1], "/was/here=/is/there");
}

TEST_F(SearchPathEditors, RemoveSelectsTheNextRowOrTheNewLastRow)
{
    List.SetText("1=a\n2=b\n3=c\n");
    const bool accepted = Edit([](QWidget* window) {
        SelectRow(window, 0);
        test::ClickButton(window, "ButtonRemove");
        EXPECT_EQ(RowsOf(window), (Rows{{"2", "b"}, {"3", "c"}}));
        EXPECT_EQ(SelectedRow(window), 0);
        SelectRow(window, 1);
        test::ClickButton(window, "ButtonRemove");
        EXPECT_EQ(RowsOf(window), (Rows{{"2", "b"}}));
        EXPECT_EQ(SelectedRow(window), 0);
        test::ClickButton(window, "ButtonRemove");
        EXPECT_TRUE(RowsOf(window).empty());
        EXPECT_EQ(RowButtons(window), (std::vector<bool>{false, false, false, false}));
        test::ClickButton(window, "ButtonOK");
    });
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(List.Empty());
}

TEST_F(SearchPathEditors, UpAndDownMoveThePairWithTheSelection)
{
    List.SetText("1=a\n2=b\n3=c\n");
    const bool accepted = Edit([](QWidget* window) {
        SelectRow(window, 2);
        test::ClickButton(window, "ButtonUp");
        EXPECT_EQ(RowsOf(window), (Rows{{"1", "a"}, {"3", "c"}, {"2", "b"}}));
        EXPECT_EQ(SelectedRow(window), 1);
        test::ClickButton(window, "ButtonUp");
        EXPECT_EQ(SelectedRow(window), 0);
        EXPECT_FALSE(Enabled(window, "ButtonUp"));
        test::ClickButton(window, "ButtonDown");
        test::ClickButton(window, "ButtonDown");
        EXPECT_EQ(RowsOf(window), (Rows{{"1", "a"}, {"2", "b"}, {"3", "c"}}));
        EXPECT_EQ(SelectedRow(window), 2);
        EXPECT_FALSE(Enabled(window, "ButtonDown"));
        test::ClickButton(window, "ButtonOK");
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(List.Text(), "1=a\r\n2=b\r\n3=c\r\n");
}

TEST_F(SearchPathEditors, CancelAfterChangesLeavesTheCallersListAsItWas)
{
    const std::string before = List.Text();
    const bool accepted = Edit([](QWidget* window) {
        EditPairVia(window, "ButtonAdd", "/x", "/y");
        EditPairVia(window, "ButtonAdd", "/z", "/w");
        SelectRow(window, 0);
        test::ClickButton(window, "ButtonRemove");
        test::PressEscape(window);
    });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(List.Text(), before);

    TWindowShortcutPrompts prompts;
    test::OnNextModal([](QWidget* window) {
        EditPairVia(window, "ButtonAdd", "/x", "/y");
        window->close();
    });
    EXPECT_FALSE(prompts.EditSearchPaths("/d/", List));
    EXPECT_EQ(List.Text(), before);
}

TEST_F(SearchPathEditors, HelpOfBothWindowsShowsTopic40)
{
    Edit([](QWidget* window) {
        test::ClickButton(window, "ButtonHelp");
        test::OnNextModal([](QWidget* pair) {
            test::ClickButton(pair, "ButtonHelp");
            EXPECT_TRUE(pair->isVisible());
            test::ClickButton(pair, "ButtonCancel");
        });
        test::ClickButton(window, "ButtonAdd");
        EXPECT_TRUE(window->isVisible());
        test::ClickButton(window, "ButtonCancel");
    });
    EXPECT_EQ(user->HelpTopics, (std::vector<int>{40, 40}));
}

// ---- The pair editor on its own ----------------------------------------------------------

class PairEditor : public ::testing::Test {
protected:
    /// Runs the pair editor with the two texts typed, clicking OK; its result.
    bool Accept(const std::string& org, const std::string& next)
    {
        test::OnNextModal([&](QWidget* window) {
            Field(window, "EditOrgPath")->setText(QString::fromStdString(org));
            Field(window, "EditNewPath")->setText(QString::fromStdString(next));
            test::ClickButton(window, "ButtonOK");
            if (window->isVisible()) test::ClickButton(window, "ButtonCancel");
        });
        return Editor.Execute();
    }

    ui::ScopedScriptedUi user;
    TFormEditSearchPath Editor;
};

TEST_F(PairEditor, DropsBlanksAndStoresFullPaths)
{
    ASSERT_TRUE(Accept("  /srv/old/../archive/  ", "\trelative/folder "));
    EXPECT_EQ(Editor.OrgPath(), "/srv/archive/");
    EXPECT_EQ(Editor.NewPath(), (std::filesystem::current_path() / "relative/folder").string());
    EXPECT_TRUE(user->Messages.empty());
}

TEST_F(PairEditor, KeepsWindowsRootsOfShortcutsMadeOnWindowsAsTyped)
{
    ASSERT_TRUE(Accept(" C:\\Users\\Old\\ ", "\\\\server\\share\\moved"));
    EXPECT_EQ(Editor.OrgPath(), "C:\\Users\\Old\\");
    EXPECT_EQ(Editor.NewPath(), "\\\\server\\share\\moved");
}

TEST_F(PairEditor, AnEmptyFieldOrAnOriginalRootWithAnEqualsSignKeepsTheEditorOpenWithTheFocusThere)
{
    const std::string equalsSign =
        "The original root directory cannot contain \"=\": the search paths would read it as a different "
        "pair.";
    for (const auto& [org, next, emptyField, message] :
         std::vector<std::tuple<std::string, std::string, const char*, std::string>>{
             {"   ", "/new", "EditOrgPath", "Field is required."},
             {"/org", "", "EditNewPath", "Field is required."},
             {"/a=b", "/new", "EditOrgPath", equalsSign}}) {
        bool stayedOpen = false;
        QWidget* focused = nullptr;
        test::OnNextModal([&](QWidget* window) {
            Field(window, "EditOrgPath")->setText(QString::fromStdString(org));
            Field(window, "EditNewPath")->setText(QString::fromStdString(next));
            test::ClickButton(window, "ButtonOK");
            stayedOpen = window->isVisible();
            focused = window->focusWidget();
            test::ClickButton(window, "ButtonCancel");
        });
        user->Messages.clear();
        EXPECT_FALSE(Editor.Execute());
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(focused, Field(&Editor, emptyField));
        ASSERT_EQ(user->Messages.size(), 1u);
        EXPECT_EQ(user->Messages[0].Text, message);
        EXPECT_EQ(user->Messages[0].Caption, "Trovanta");
    }
}

TEST(ExpandUNCFileName, MakesFullPathsAndLeavesWindowsPathsAlone)
{
    const std::string cwd = std::filesystem::current_path().string();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/a/b", "/a/b"},
        {"/a/b/", "/a/b/"},
        {"/a/./b/../c", "/a/c"},
        {"/a/b/.", "/a/b"},
        {"/..", "/"},
        {"x", cwd + "/x"},
        {"./x/", cwd + "/x/"},
        {"C:\\Old", "C:\\Old"},
        {"d:/mixed/../kept", "d:/mixed/../kept"},
        {"\\\\srv\\share", "\\\\srv\\share"},
        {"", ""},
    };
    for (const auto& [typed, full] : cases) EXPECT_EQ(ExpandUNCFileName(typed), full) << typed;
}

}  // namespace
