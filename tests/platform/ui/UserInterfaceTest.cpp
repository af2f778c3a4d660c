#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

#include "platform/ui/QtUserInterface.h"
#include "tests/support/ui/ScriptedUserInterface.h"

namespace ui {
namespace {

TEST(QtFileFilter, TurnsWindowsPairsIntoQtEntries)
{
    EXPECT_EQ(QtFileFilter("Job definitions (*.qef)|*.qef|All files (*.*)|*.*"),
              "Job definitions (*.qef);;All files (*)");
    EXPECT_EQ(QtFileFilter("Pictures|*.png;*.bmp"), "Pictures (*.png *.bmp)");
    EXPECT_EQ(QtFileFilter(""), "");
    EXPECT_EQ(QtFileFilter("No patterns"), "");
}

TEST(HelpPagePath, IsTheTopicsPageInTheHelpFolderBesideTheHelpFile)
{
    const QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    ASSERT_TRUE(QDir(dir.path()).mkpath("help"));
    QFile page(dir.path() + "/help/topic-10.html");
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    EXPECT_EQ(HelpPagePath(folder + "/Trovanta.hlp", 10), folder + "/help/topic-10.html");
    EXPECT_EQ(HelpPagePath(folder + "/Trovanta.hlp", 1), "") << "topic 1 is no prefix of topic 10";
    EXPECT_EQ(HelpFolders(folder + "/Trovanta.hlp").front(), folder + "/help");
}

/// Runs Act on the message box once it is shown.
void WhenBoxShows(std::function<void(QMessageBox&)> Act)
{
    QTimer::singleShot(0, [Act = std::move(Act)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        Act(*box);
    });
}

// The real (non-native) open dialog: a name that does not exist yet is taken when the caller
// completes it afterwards, and each filter entry names its patterns once.
TEST(QtUserInterface, TheOpenDialogTakesANewNameWhenTheFileNeedNotExist)
{
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    const QTemporaryDir dir;
    FileDialogOptions options;
    options.Title = "Load settings from a file";
    options.Filter = "Definition files (*.qef)|*.qef|All files (*.*)|*.*";
    options.InitialDir = dir.path().toStdString();
    options.FileMustExist = false;
    QStringList filters;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("job");
        QMetaObject::invokeMethod(dialog, "accept");  // as the Open button does
    });
    EXPECT_EQ(QtUserInterface().OpenFileName(nullptr, options), dir.path().toStdString() + "/job");
    EXPECT_EQ(filters, QStringList({"Definition files (*.qef)", "All files (*)"}));
}

TEST(QtUserInterface, MessageBoxAnswersWithTheIdOfTheClickedButton)
{
    QtUserInterface qt;
    WhenBoxShows([](QMessageBox& box) {
        EXPECT_EQ(box.text(), "Line one\nLine two");
        EXPECT_EQ(box.windowTitle(), "Trovanta");
        EXPECT_EQ(box.icon(), QMessageBox::Question);
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(qt.MessageBox(nullptr, "Line one\r\nLine two", "Trovanta", MsgIcon::Question, mbYesNo), idNo);

    WhenBoxShows([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
    EXPECT_EQ(qt.MessageBox(nullptr, "?", "Trovanta", MsgIcon::Question, mbYesNoCancel), idYes);
}

TEST(QtUserInterface, ClosingTheBoxGivesTheAnswerThatChangesNothing)
{
    QtUserInterface qt;
    WhenBoxShows([](QMessageBox& box) { box.reject(); });
    EXPECT_EQ(qt.MessageBox(nullptr, "?", "T", MsgIcon::Question, mbYesNoCancel), idCancel);
    WhenBoxShows([](QMessageBox& box) { box.reject(); });
    EXPECT_EQ(qt.MessageBox(nullptr, "?", "T", MsgIcon::Question, mbYesNo), idNo);
    WhenBoxShows([](QMessageBox& box) { box.reject(); });
    EXPECT_EQ(qt.MessageBox(nullptr, "!", "T", MsgIcon::Error, 0), idOK);
}

TEST(ScopedScriptedUi, RecordsQuestionsAndPutsThePreviousInterfaceBack)
{
    UserInterface* before = &Ui();
    {
        ScopedScriptedUi scripted;
        scripted->Answers.push_back(idYes);
        EXPECT_EQ(Ui().MessageBox(nullptr, "Start?", "Trovanta", MsgIcon::Question, mbYesNo), idYes);
        ShowMessage(nullptr, "Done", "Trovanta", MsgIcon::Information);
        ASSERT_EQ(scripted->Messages.size(), 2u);
        EXPECT_EQ(scripted->Messages[1].Text, "Done");
        EXPECT_EQ(scripted->Messages[1].Buttons, unsigned(mbOK));
    }
    EXPECT_EQ(&Ui(), before);
}

}  // namespace
}  // namespace ui
