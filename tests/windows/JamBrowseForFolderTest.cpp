// The folder browse dialog as a user meets it: where it starts, what is selected first, what
// choosing an item yields, and where the dialog stands.

#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/windows/ModalDriver.h"
#include "tests/windows/ShellSandbox.h"
#include "tests/support/ui/Screenshot.h"
#include "windows/JAMDialogs.h"

namespace {

using Chain = std::vector<std::string>;

QTreeWidget* Tree(QWidget* dialog)
{
    auto* tree = dialog->findChild<QTreeWidget*>("TreeView");
    EXPECT_NE(tree, nullptr);
    return tree;
}

/// The names from the root down to the selected item.
Chain Selected(QWidget* dialog)
{
    Chain chain;
    for (const QTreeWidgetItem* item = Tree(dialog)->currentItem(); item != nullptr; item = item->parent())
        chain.insert(chain.begin(), item->text(0).toStdString());
    return chain;
}

/// The names in a folder, opened as a user opens it.
Chain Children(QTreeWidgetItem* item)
{
    item->setExpanded(true);
    Chain names;
    for (int i = 0; i < item->childCount(); ++i) names.push_back(item->child(i)->text(0).toStdString());
    return names;
}

/// Opens the folders along Chain (the root first) as a user does and returns the last one.
QTreeWidgetItem* Open(QWidget* dialog, const Chain& chain)
{
    QTreeWidgetItem* item = Tree(dialog)->topLevelItem(0);
    EXPECT_EQ(item->text(0).toStdString(), chain.front());
    for (std::size_t i = 1; i < chain.size() && item != nullptr; ++i) {
        item->setExpanded(true);
        QTreeWidgetItem* next = nullptr;
        for (int c = 0; c < item->childCount(); ++c)
            if (item->child(c)->text(0).toStdString() == chain[i]) next = item->child(c);
        EXPECT_NE(next, nullptr) << chain[i];
        item = next;
    }
    return item;
}

void Choose(QWidget* dialog, const Chain& chain)
{
    if (QTreeWidgetItem* item = Open(dialog, chain)) Tree(dialog)->setCurrentItem(item);
    test::ClickButton(dialog, "ButtonOK");
}

bool OkEnabled(QWidget* dialog)
{
    return dialog->findChild<QPushButton*>("ButtonOK")->isEnabled();
}

class BrowseDialog : public test::ShellSandbox {
protected:
    /// Executes Browse with Script run on the open dialog.
    bool Run(const std::function<void(QWidget*)>& script)
    {
        test::OnNextModal(script);
        return Browse.Execute();
    }

    /// What is selected when the dialog opens with Path preset.
    Chain FirstSelection(const std::string& path)
    {
        Browse.SetPath(path);
        Chain chain;
        Run([&](QWidget* dialog) {
            chain = Selected(dialog);
            test::ClickButton(dialog, "ButtonCancel");
        });
        return chain;
    }

    std::string User() const { return std::filesystem::path(Home()).filename().string(); }

    TJamBrowseForFolder Browse;
};

TEST_F(BrowseDialog, AnEmptyPathStartsAtTheDesktopAndChoosingItGivesTheDesktopFolder)
{
    std::vector<std::string> events;
    Browse.SetTitle("Browse for folder");
    Browse.OnShow = [&](TJamBrowseForFolder& sender) {
        events.push_back("show");
        EXPECT_EQ(sender.DialogWindow(), nullptr);
    };
    Browse.OnClose = [&](TJamBrowseForFolder& sender) {
        events.push_back("close");
        EXPECT_EQ(sender.DialogWindow(), nullptr);
    };
    const bool chosen = Run([&](QWidget* dialog) {
        events.push_back("open");
        EXPECT_EQ(Browse.DialogWindow(), dialog);
        EXPECT_EQ(dialog->findChild<QLabel*>("LabelTitle")->text(), "Browse for folder");
        EXPECT_EQ(Selected(dialog), (Chain{"Desktop"}));
        EXPECT_EQ(Children(Tree(dialog)->topLevelItem(0)),
                  (Chain{User(), "Dokumente", "Computer", "On desktop"}));
        test::ScreenshotIfAsked(*dialog, "JamBrowseForFolder");
        test::ClickButton(dialog, "ButtonOK");
    });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(Browse.Path(), Home() + "/Schreibtisch");
    EXPECT_EQ(events, (std::vector<std::string>{"show", "open", "close"}));
    EXPECT_EQ(Browse.DialogWindow(), nullptr);
}

TEST_F(BrowseDialog, APresetPathIsSelectedThroughTheDeepestFolderThatHoldsIt)
{
    EXPECT_EQ(FirstSelection(Home() + "/Dokumente/Letters"), (Chain{"Desktop", "Dokumente", "Letters"}));
    EXPECT_EQ(FirstSelection(Home() + "/Schreibtisch/On desktop/"), (Chain{"Desktop", "On desktop"}));
    EXPECT_EQ(FirstSelection(Home() + "/Projects/alpha"), (Chain{"Desktop", User(), "Projects", "alpha"}));
    // A hidden folder is not listed, but a preset path still reaches it.
    EXPECT_EQ(FirstSelection(Home() + "/.config/trovanta"),
              (Chain{"Desktop", User(), ".config", "trovanta"}));
    EXPECT_EQ(FirstSelection("/"), (Chain{"Desktop", "Computer", "/"}));
    // What cannot be parsed leaves the first selection at the root.
    EXPECT_EQ(FirstSelection(Home() + "/no such folder"), (Chain{"Desktop"}));
    EXPECT_EQ(FirstSelection("C:\\Windows"), (Chain{"Desktop"}));
}

TEST_F(BrowseDialog, ChoosingAFolderGivesItsPathAndAVirtualFolderItsNameWithoutASlash)
{
    Run([](QWidget* dialog) { Choose(dialog, {"Desktop", "Dokumente"}); });
    EXPECT_EQ(Browse.Path(), Home() + "/Dokumente");

    Run([&](QWidget* dialog) { Choose(dialog, {"Desktop", User(), "Projects"}); });
    EXPECT_EQ(Browse.Path(), Home() + "/Projects");

    EXPECT_TRUE(Run([](QWidget* dialog) { Choose(dialog, {"Desktop", "Computer"}); }));
    EXPECT_EQ(Browse.Path(), "Computer");
    EXPECT_FALSE(HasFileSystemPath(Browse.Path()));

    Browse.SetRootedAt(SF_CONTROLS);
    EXPECT_TRUE(Run([](QWidget* dialog) {
        EXPECT_EQ(Selected(dialog), (Chain{"Control Panel"}));
        test::ClickButton(dialog, "ButtonOK");
    }));
    EXPECT_EQ(Browse.Path(), "Control Panel");
}

TEST_F(BrowseDialog, CancelEscAndTheCloseBoxChooseNothing)
{
    Browse.SetPath(Home() + "/Dokumente");
    EXPECT_FALSE(Run([](QWidget* dialog) { test::ClickButton(dialog, "ButtonCancel"); }));
    EXPECT_FALSE(Run([](QWidget* dialog) { test::PressEscape(dialog); }));
    EXPECT_FALSE(Run([](QWidget* dialog) { dialog->close(); }));
    EXPECT_EQ(Browse.Path(), Home() + "/Dokumente");
}

TEST_F(BrowseDialog, TheTreeStartsAtTheFolderOrSpecialFolderAskedFor)
{
    const auto root = [&] {
        Chain chain;
        Run([&](QWidget* dialog) {
            chain = Chain{Tree(dialog)->topLevelItem(0)->text(0).toStdString()};
            const Chain children = Children(Tree(dialog)->topLevelItem(0));
            chain.insert(chain.end(), children.begin(), children.end());
            test::ClickButton(dialog, "ButtonCancel");
        });
        return chain;
    };
    Browse.SetRootedAtFileSystemFolder(Home() + "/Projects");
    EXPECT_EQ(root(), (Chain{"Projects", "alpha"}));
    Browse.SetRootedAtFileSystemFolder(Home() + "/gone");  // falls back to the computer
    EXPECT_EQ(root(), (Chain{"Computer", "/"}));
    Browse.SetRootedAt(SF_PERSONAL);
    EXPECT_EQ(root(), (Chain{"Dokumente", "bills", "Letters"}));
    Browse.SetRootedAtFileSystemFolder("");
    Browse.SetRootedAt(SF_FAVORITES);  // this system has none: the desktop
    EXPECT_EQ(root().front(), "Desktop");
}

TEST_F(BrowseDialog, FileSystemOnlyRefusesVirtualFoldersAndFilesShowOnlyWhenAskedFor)
{
    Browse.SetOptions({bfFileSystemOnly});
    Run([](QWidget* dialog) {
        Tree(dialog)->setCurrentItem(Open(dialog, {"Desktop", "Computer"}));
        EXPECT_FALSE(OkEnabled(dialog));
        Tree(dialog)->setCurrentItem(Open(dialog, {"Desktop", "Dokumente"}));
        EXPECT_TRUE(OkEnabled(dialog));
        EXPECT_EQ(Children(Open(dialog, {"Desktop", "Dokumente"})), (Chain{"bills", "Letters"}));
        test::ClickButton(dialog, "ButtonCancel");
    });
    Browse.SetOptions({bfNewDialogStyle, bfBrowseIncludeFiles});
    Browse.SetPath(Home() + "/Dokumente/readme.txt");
    Run([](QWidget* dialog) {
        EXPECT_EQ(Children(Open(dialog, {"Desktop", "Dokumente"})),
                  (Chain{"bills", "Letters", "readme.txt"}));
        EXPECT_EQ(Selected(dialog), (Chain{"Desktop", "Dokumente", "readme.txt"}));
        test::ClickButton(dialog, "ButtonOK");
    });
    EXPECT_EQ(Browse.Path(), Home() + "/Dokumente/readme.txt");
}

TEST_F(BrowseDialog, TheEditBoxTakesANameBelowTheSelectedFolder)
{
    Browse.SetOptions({bfNewDialogStyle, bfEditBox});
    Browse.SetPath(Home() + "/Dokumente");
    Run([](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>("EditName");
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), "Dokumente");
        edit->setText(" Letters ");
        test::ClickButton(dialog, "ButtonOK");
    });
    EXPECT_EQ(Browse.Path(), Home() + "/Dokumente/Letters");
}

TEST_F(BrowseDialog, ThePositionCentresAtZeroOrLessAndPlacesTheCornerOtherwise)
{
    const auto centred = [](QWidget* dialog) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QSize size = dialog->frameGeometry().size();
        return QPoint(screen.x() + screen.width() / 2 - size.width() / 2,
                      screen.y() + screen.height() / 2 - size.height() / 2);
    };
    for (const auto& [left, top] : std::vector<std::pair<int, int>>{{-1, -1}, {-1, 50}, {120, 0}}) {
        Browse.SetDialogLeft(left);
        Browse.SetDialogTop(top);
        Run([&](QWidget* dialog) {
            EXPECT_EQ(dialog->pos(), centred(dialog)) << left << "," << top;
            test::ClickButton(dialog, "ButtonCancel");
        });
    }
    Browse.SetDialogLeft(100);
    Browse.SetDialogTop(80);
    Run([&](QWidget* dialog) {
        EXPECT_EQ(dialog->pos(), QPoint(100, 80));
        Browse.SetDialogLeft(150);  // moves the open dialog at once
        EXPECT_EQ(dialog->pos(), QPoint(150, 80));
        EXPECT_EQ(Browse.DialogLeft(), 150);
        EXPECT_EQ(Browse.DialogTop(), 80);
        test::ClickButton(dialog, "ButtonCancel");
    });
    EXPECT_EQ(Browse.DialogLeft(), 100);
}

}  // namespace
