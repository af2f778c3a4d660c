#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>

#include "platform/ui/QtUserInterface.h"
#include "tests/support/ui/ScriptedUserInterface.h"

namespace ui {
namespace {

TEST(QtFileFilter, TurnsWindowsPairsIntoQtEntries)
{
    EXPECT_EQ(QtFileFilter("Job definitions (*.qef)|*.qef|All files (*.*)|*.*"),
              "Job definitions (*.qef) (*.qef);;All files (*.*) (*)");
    EXPECT_EQ(QtFileFilter("Pictures|*.png;*.bmp"), "Pictures (*.png *.bmp)");
    EXPECT_EQ(QtFileFilter(""), "");
    EXPECT_EQ(QtFileFilter("No patterns"), "");
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
