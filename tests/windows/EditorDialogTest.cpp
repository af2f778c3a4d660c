// What all editors share: the help topic of each "Help" button and the bottom buttons.
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "jobs/Options.h"
#include "platform/runtime/Registry.h"
#include "platform/ui/QtUserInterface.h"
#include "tests/support/ScopedEnvironment.h"
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

/// The first line of a file, or "" while it does not exist.
std::string FirstLine(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

TEST_F(EditorWindows, F1OpensTheWindowsHelpPageWithTheDesktopsOpener)
{
    // The desktop's opener found first on the PATH notes what it was asked to open.
    const std::filesystem::path bin = home_.Path() / "bin";
    const std::filesystem::path opened = home_.Path() / "opened";
    std::filesystem::create_directories(bin);
    {
        std::ofstream opener(bin / "xdg-open");
        opener << "#!/bin/sh\necho \"$1\" > " << opened.string() << ".part && mv " << opened.string()
               << ".part " << opened.string() << "\n";
    }
    std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
    test::ScopedEnvironment environment;
    environment.Set("PATH", bin.string() + ":" + std::getenv("PATH"));
    // Installed in the build: the help pages lie in the folder of the libraries.
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(RegKeyProduct, true));
    registry.WriteString("InstallDir", (test::BuildDir() / "lib").string() + "/");
    auto scripted = ui::SetUserInterface(std::make_unique<ui::QtUserInterface>());

    TFormEditFilter form(nullptr);
    WhenModal<TFormEditFilter>([&](TFormEditFilter& w) {
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(w.focusWidget() ? w.focusWidget() : &w, Qt::Key_F1);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !FirstLine(opened).empty(); }));
        Click(w, "ButtonCancel");
    });
    form.Execute();
    ui::SetUserInterface(std::move(scripted));
    const std::filesystem::path page = FirstLine(opened);
    EXPECT_EQ(page.filename(), "topic-21.html");
    EXPECT_TRUE(std::filesystem::is_regular_file(page)) << page;
}

}  // namespace
