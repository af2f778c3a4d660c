// The results of a run (a message box, or the results window when mails failed) and the about
// window.

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTest>

#include "tests/windows/EditorTestSupport.h"
#include "windows/FrmAbout.h"
#include "windows/FrmResults.h"
#include "windows/LinkLabel.h"

namespace {

using namespace editor_test;

class ResultsAndAbout : public EditorTest {};

const std::string kSummary = "Folders inspected: 1   \r\nItems inspected: 2   \r\n";

TStringList TwoErrorLines()
{
    TStringList lines;
    lines.Add("*** 12/31/24 10:00:00:");
    lines.Add("Folder: Mailbox \\ Inbox");
    return lines;
}

TEST_F(ResultsAndAbout, RunWithoutErrorsShowsOnlyAnInformationBox)
{
    // A results window would stay open here, and the watchdog would fail the test.
    ShowResults(nullptr, kSummary, TStringList());
    ShowResults(nullptr, "", TStringList());
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Trovanta|" + kSummary, "Trovanta|"}));
    for (const ui::AskedMessage& message : user_->Messages) {
        EXPECT_EQ(message.Icon, ui::MsgIcon::Information);
        EXPECT_EQ(message.Buttons, unsigned(ui::mbOK));
    }
}

TEST_F(ResultsAndAbout, ErrorsShowBothBoxesWithASplitterBetweenThem)
{
    WhenModal<TFormResults>([&](TFormResults& w) {
        EXPECT_EQ(w.windowTitle(), "Trovanta");
        EXPECT_EQ(GetMemo(w, "MemoResults"), "Folders inspected: 1   \nItems inspected: 2   ");
        EXPECT_EQ(GetMemo(w, "MemoMailErrors"), "*** 12/31/24 10:00:00:\nFolder: Mailbox \\ Inbox");
        EXPECT_TRUE(Child<QPlainTextEdit>(w, "MemoMailErrors")->isReadOnly());
        auto* results = Child<QGroupBox>(w, "GroupBox1");
        auto* errors = Child<QGroupBox>(w, "GroupBox2");
        auto* splitter = Child<QSplitter>(w, "Splitter");
        EXPECT_EQ(errors->title(), " The following errors occured while processing the e-mails ");
        ASSERT_TRUE(errors->isVisible());
        QWidget* handle = splitter->handle(1);
        ASSERT_TRUE(handle->isVisible());
        // Dragging the handle 40 pixels down moves the boundary between the two boxes.
        const int resultsHeight = results->height();
        const int errorsHeight = errors->height();
        const QPoint start = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, start);
        QTest::mouseMove(handle, start + QPoint(0, 40));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, start + QPoint(0, 40));
        EXPECT_NEAR(results->height(), resultsHeight + 40, 1);
        EXPECT_EQ(results->height() + errors->height(), resultsHeight + errorsHeight);
        QTest::keyClick(&w, Qt::Key_Escape);
    });
    ShowResults(nullptr, kSummary, TwoErrorLines());
    EXPECT_TRUE(user_->Messages.empty());
}

TEST_F(ResultsAndAbout, ResultsWindowIsNeverShownEmpty)
{
    TFormResults nothing(nullptr);
    nothing.Execute();  // returns at once: neither a summary nor error lines
    EXPECT_FALSE(nothing.isVisible());

    TFormResults summaryOnly(nullptr);
    summaryOnly.Summary = kSummary;
    int spare = -1;
    WhenModal<TFormResults>([&](TFormResults& w) {
        auto* results = Child<QGroupBox>(w, "GroupBox1");
        EXPECT_FALSE(Child<QWidget>(w, "GroupBox2")->isVisible());
        // The results box fills the client panel but for its inner border.
        spare = Child<QWidget>(w, "PanelClient")->height() - 16 - results->height();
        Click(w, "ButtonClose");
    });
    summaryOnly.Execute();
    EXPECT_EQ(spare, 0);
    EXPECT_EQ(summaryOnly.result(), 1);
}

TEST_F(ResultsAndAbout, AboutHasNoCaptionBarAndClosesOnlyByCloseOrEscape)
{
    WhenModal<TFormAbout>([&](TFormAbout& w) {
        EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(w.size(), QSize(450, 340));
        EXPECT_EQ(Child<QLabel>(w, "LabelInfo")->text(), "Trovanta");
        EXPECT_EQ(Child<QLabel>(w, "LabelVersion")->text(), "Version 4.1.0.1");
        // The bevel ends where the last line of the notice ends.
        EXPECT_EQ(Child<QFrame>(w, "Bevel1")->geometry().right(),
                  Child<QLabel>(w, "LabelCopyright3")->geometry().right());
        auto* web = Child<TLinkLabel>(w, "LabelWWW");
        EXPECT_EQ(web->text(), web->toolTip());
        QTest::mouseClick(web, Qt::LeftButton);
        EXPECT_EQ(user_->Documents, std::vector<std::string>{web->toolTip().toStdString()});
        w.close();
        QTest::keyClick(&w, Qt::Key_Return);
        EXPECT_TRUE(w.isVisible());
        QTest::keyClick(&w, Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
    });
    ShowAboutBox(nullptr);
    WhenModal<TFormAbout>(
        [&](TFormAbout& w) { QTest::mouseClick(Child<TLinkLabel>(w, "LabelClose"), Qt::LeftButton); });
    ShowAboutBox(nullptr);
    EXPECT_TRUE(user_->Messages.empty());
}

}  // namespace
