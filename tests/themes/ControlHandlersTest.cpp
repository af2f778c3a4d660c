// The per-class handlers: what they ask the visual styles to draw and what they answer.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>

#include "platform/uxtheme/Gdi.h"
#include "tests/themes/support/SampleForm.h"
#include "tests/themes/support/ThemeTestSupport.h"
#include "themes/ControlWindowProc.h"
#include "themes/ThemeMgr.h"

using namespace themes;
using namespace themes_test;
using uxtheme::RECT;

namespace {

/// Counts the paint events each of some widgets gets (Paints, in the order of the widgets).
class PaintCounter : public QObject {
public:
    explicit PaintCounter(const std::vector<QWidget*>& widgets) : Paints(widgets.size()), widgets_(widgets)
    {
        for (QWidget* widget : widgets_) widget->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto it = std::find(widgets_.begin(), widgets_.end(), watched);
        if (event->type() == QEvent::Paint && it != widgets_.end()) ++Paints[it - widgets_.begin()];
        return false;
    }

    std::vector<int> Paints;

private:
    std::vector<QWidget*> widgets_;
};

/// The sample form taken over by a manager, over the library given.
class ControlHandlersTest : public ::testing::Test {
protected:
    explicit ControlHandlersTest(const std::string& library = RecordingLibraryPath()) : library_(library)
    {
        manager_ = new TThemeManager(sample_.Form.get());
    }
    void TakeOver() { manager_->Loaded(); }
    /// The drawing calls made while the control painted (alone, so that others do not mix in).
    std::vector<recording::Call> CallsWhilePainting(QWidget* control)
    {
        Picture(sample_.Form.get());
        Recording().Calls.clear();
        control->grab();
        return Recording().Calls;
    }
    static std::vector<recording::Call> Of(const std::vector<recording::Call>& calls,
                                           const std::string& function)
    {
        std::vector<recording::Call> found;
        for (const recording::Call& call : calls) {
            if (call.Function == function) found.push_back(call);
        }
        return found;
    }

    ScopedThemeLibrary library_;
    SampleForm sample_;
    TThemeManager* manager_;
};

TEST_F(ControlHandlersTest, AGroupBoxFrameStartsHalfWayDownItsCaptionWhichSitsEightPixelsIn)
{
    TakeOver();
    sample_.Box->resize(200, 100);
    const QFontMetrics metrics(sample_.Box->font());
    const QString caption = sample_.Box->title();
    const auto calls = CallsWhilePainting(sample_.Box);
    const auto frames = Of(calls, "DrawThemeBackground");
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].Class, u"button");
    EXPECT_EQ(frames[0].Part, 4);
    EXPECT_EQ(frames[0].State, 1);
    EXPECT_EQ(frames[0].Rect, (RECT{0, metrics.height() / 2, 200, 100}));
    const auto texts = Of(calls, "DrawThemeText");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Text, caption.toStdU16String());
    EXPECT_EQ(texts[0].Rect, (RECT{8, 0, 8 + metrics.horizontalAdvance(caption), metrics.height()}));

    sample_.Box->setLayoutDirection(Qt::RightToLeft);
    const int right = Of(CallsWhilePainting(sample_.Box), "DrawThemeText").at(0).Rect.right;
    EXPECT_EQ(right, 200 - 8);

    sample_.Box->setTitle(QString());
    sample_.Box->setEnabled(false);
    const auto empty = CallsWhilePainting(sample_.Box);
    EXPECT_TRUE(Of(empty, "DrawThemeText").empty());
    EXPECT_EQ(Of(empty, "DrawThemeBackground").at(0).Rect, (RECT{0, 0, 200, 100}));
    EXPECT_EQ(Of(empty, "DrawThemeBackground").at(0).State, 2);
}

TEST_F(ControlHandlersTest, APanelOfItsOwnColourIsNotStyledAndOnlyABorderedOneGetsAnEdge)
{
    TakeOver();
    sample_.Panel->setProperty("BorderStyle", 1);
    const auto bordered = CallsWhilePainting(sample_.Panel);
    ASSERT_EQ(Of(bordered, "DrawThemeEdge").size(), 1u);
    const recording::Call edge = Of(bordered, "DrawThemeEdge")[0];
    EXPECT_EQ(edge.Class, u"rebar");
    EXPECT_EQ(edge.Part, 3);
    EXPECT_EQ(edge.Edge, uxtheme::EDGE_SUNKEN);
    EXPECT_EQ(edge.Flags, uxtheme::BF_RECT);
    EXPECT_EQ(edge.Rect, (RECT{0, 0, sample_.Panel->width(), sample_.Panel->height()}));
    EXPECT_FALSE(Of(bordered, "DrawThemeParentBackground").empty()) << "it stands on its parent's background";

    sample_.Panel->setProperty("BorderStyle", 0);
    EXPECT_TRUE(Of(CallsWhilePainting(sample_.Panel), "DrawThemeEdge").empty());

    QPalette own = sample_.Panel->palette();
    own.setColor(QPalette::Window, Qt::yellow);
    sample_.Panel->setPalette(own);
    sample_.Panel->setAutoFillBackground(true);
    sample_.Panel->setProperty("BorderStyle", 1);
    const auto unstyled = CallsWhilePainting(sample_.Panel);
    EXPECT_TRUE(Of(unstyled, "DrawThemeEdge").empty());
    for (const recording::Call& call : Of(unstyled, "DrawThemeParentBackground"))
        EXPECT_NE(call.Window, sample_.Panel);
}

TEST_F(ControlHandlersTest, AStatusBarStandsOnItsClassBackgroundAndRedrawsWhenResized)
{
    TakeOver();
    const auto calls = Of(CallsWhilePainting(sample_.Status), "DrawThemeBackground");
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].Class, u"status");
    EXPECT_EQ(calls[0].Part, 0);
    EXPECT_EQ(calls[0].State, 2);
    EXPECT_EQ(calls[0].Rect, (RECT{0, 0, sample_.Status->width(), sample_.Status->height()}));
    EXPECT_EQ(SendControlMessage(sample_.Status, WM_NCCALCSIZE, 0), 0);
    EXPECT_EQ(SendControlMessage(sample_.Status, WM_NCCALCSIZE, 1), WVR_HREDRAW | WVR_VREDRAW);
}

TEST_F(ControlHandlersTest, ATrackBarAsksForItsItemsAndDrawsOnlyBehindTicsAndChannel)
{
    TakeOver();
    QImage image(200, 30, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    uxtheme::DeviceContext dc{&painter, sample_.Track};
    const auto notify = [&](int code, unsigned stage, std::uintptr_t item, LRESULT preset) {
        NMCUSTOMDRAW draw;
        draw.code = code;
        draw.dwDrawStage = stage;
        draw.dwItemSpec = item;
        draw.hdc = &dc;
        draw.rc = RECT{0, 10, 200, 14};
        TMessage message;
        message.Msg = CN_NOTIFY;
        message.LParam = reinterpret_cast<LPARAM>(&draw);
        message.Result = preset;
        return SendControlMessage(sample_.Track, message);
    };
    Recording().Calls.clear();
    EXPECT_EQ(notify(NM_CUSTOMDRAW, CDDS_PREPAINT, 0, 0), CDRF_NOTIFYITEMDRAW);
    EXPECT_EQ(notify(NM_CUSTOMDRAW, CDDS_ITEMPREPAINT, TBCD_THUMB, 0), CDRF_DODEFAULT);
    EXPECT_TRUE(Recording().Calls.empty()) << "the thumb is the control's own";
    EXPECT_EQ(notify(-2, CDDS_PREPAINT, 0, 77), 77) << "another notification is swallowed untouched";
    EXPECT_EQ(notify(NM_CUSTOMDRAW, CDDS_ITEMPREPAINT, TBCD_TICS, 5), CDRF_DODEFAULT);
    EXPECT_EQ(notify(NM_CUSTOMDRAW, CDDS_ITEMPREPAINT, TBCD_CHANNEL, 5), CDRF_DODEFAULT);
    const auto behind = Recording().CallsOf("DrawThemeParentBackground");
    ASSERT_EQ(behind.size(), 2u);
    EXPECT_EQ(behind[0].Rect, (RECT{0, 0, sample_.Track->width(), sample_.Track->height()}));
    EXPECT_FALSE(behind[1].HasClip) << "the channel is drawn clipped, for the whole window";
}

TEST_F(ControlHandlersTest, TabSheetsShowTheTabBodyOnlyWithTheAlternateDrawing)
{
    TakeOver();
    const auto plain = CallsWhilePainting(sample_.Sheet);
    ASSERT_FALSE(Of(plain, "DrawThemeParentBackground").empty());
    EXPECT_EQ(Of(plain, "DrawThemeParentBackground")[0].Window, sample_.Sheet);
    manager_->SetOptions(manager_->Options() | toAlternateTabSheetDraw);
    const auto body = Of(CallsWhilePainting(sample_.Sheet), "DrawThemeBackground");
    ASSERT_FALSE(body.empty());
    EXPECT_EQ(body[0].Class, u"tab");
    EXPECT_EQ(body[0].Part, 10);
    EXPECT_EQ(body[0].State, 1);
}

TEST_F(ControlHandlersTest, TabArrowsAndAltShowTheFormsKeyboardCues)
{
    TakeOver();
    sample_.Form->show();
    QWidget* form = sample_.Form.get();
    for (QWidget* control : std::vector<QWidget*>{sample_.Button, sample_.Box, sample_.Edit}) {
        SendControlMessage(form, WM_CHANGEUISTATE, MAKELONG(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL));
        ASSERT_EQ(UiStateOf(form), UISF_HIDEFOCUS | UISF_HIDEACCEL);
        QTest::keyPress(control, Qt::Key_Left);
        EXPECT_EQ(UiStateOf(form), UISF_HIDEACCEL) << control->metaObject()->className();
        QTest::keyPress(control, Qt::Key_Alt, Qt::AltModifier);
        EXPECT_EQ(UiStateOf(form), 0u) << control->metaObject()->className();
    }
    SendControlMessage(form, WM_CHANGEUISTATE, MAKELONG(UIS_SET, UISF_HIDEFOCUS));
    QTest::keyPress(sample_.Edit, Qt::Key_X);
    EXPECT_EQ(UiStateOf(form), UISF_HIDEFOCUS) << "other keys leave the cues alone";
}

TEST_F(ControlHandlersTest, ListViewColumnsWithoutAnImageLoseTheImageFlagOnly)
{
    TakeOver();
    LVCOLUMN column;
    column.mask = LVCF_IMAGE | 0x1;
    column.iImage = -1;
    SendControlMessage(sample_.List, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    EXPECT_EQ(column.mask, 0x1u);
    column.mask = LVCF_IMAGE;
    column.iImage = 3;
    SendControlMessage(sample_.List, LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    EXPECT_EQ(column.mask, LVCF_IMAGE);
}

TEST_F(ControlHandlersTest, EditFramesGoOverSunkenEdgesOnly)
{
    TakeOver();
    const auto grid = Of(CallsWhilePainting(sample_.Grid), "DrawThemeBackground");
    ASSERT_EQ(grid.size(), 1u);
    EXPECT_EQ(grid[0].Class, u"edit");
    EXPECT_EQ(grid[0].Part, 1);
    EXPECT_EQ(grid[0].State, 1);
    EXPECT_EQ(grid[0].Rect, (RECT{0, 0, sample_.Grid->width(), sample_.Grid->height()}));
    EXPECT_TRUE(Of(CallsWhilePainting(sample_.Tabs), "DrawThemeBackground").empty());

    // The frame goes over the one the control drew: a focused edit box gets the focused frame, so
    // that its focus cue stays.
    sample_.Form->show();
    sample_.Form->activateWindow();
    sample_.Edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([this] { return sample_.Edit->hasFocus(); }));
    const auto focused = Of(CallsWhilePainting(sample_.Edit), "DrawThemeBackground");
    ASSERT_EQ(focused.size(), 1u);
    EXPECT_EQ(focused[0].Class, u"edit");
    EXPECT_EQ(focused[0].Part, 1);
    EXPECT_EQ(focused[0].State, 5);
    sample_.Button->setFocus();
    EXPECT_EQ(Of(CallsWhilePainting(sample_.Edit), "DrawThemeBackground").at(0).State, 1);
}

class ControlHandlersWithTheStyles : public ControlHandlersTest {
protected:
    ControlHandlersWithTheStyles() : ControlHandlersTest(RealLibraryPath()) {}
};

TEST_F(ControlHandlersWithTheStyles, AGridsScrollBarCornerIsFilledWithTheButtonFace)
{
    TakeOver();
    QPalette corner = sample_.Grid->palette();
    corner.setColor(QPalette::Window, Qt::green);
    sample_.Grid->setPalette(corner);
    const QImage picture = Picture(sample_.Grid);
    const QPoint inCorner(sample_.Grid->width() - 2 - 4, sample_.Grid->height() - 2 - 4);
    EXPECT_EQ(QColor(picture.pixel(inCorner)).rgb(), uxtheme::GetSysColor(uxtheme::COLOR_BTNFACE).rgb());
}

TEST_F(ControlHandlersWithTheStyles, EachAncestorOfANestedControlIsPaintedOncePerPaint)
{
    // Six levels of plain containers, each standing on the one around it, a check box inside.
    std::vector<QWidget*> levels{sample_.Frame};
    for (int level = 1; level < 6; ++level) {
        auto* inner = new QWidget(levels.back());
        inner->setGeometry(2, 2, 110, 36);
        levels.push_back(inner);
    }
    auto* check = new QCheckBox(QStringLiteral("include subfolders"), levels.back());
    check->setGeometry(2, 2, 100, 20);
    TakeOver();
    levels.insert(levels.begin(), sample_.Form.get());
    PaintCounter counter(levels);
    check->grab();
    for (std::size_t level = 0; level < levels.size(); ++level)
        EXPECT_EQ(counter.Paints[level], 1) << "level " << level;
}

}  // namespace
