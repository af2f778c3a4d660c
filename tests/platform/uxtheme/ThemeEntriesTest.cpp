// The entry points of the visual-styles library, called directly.

#include <gtest/gtest.h>

#include <QApplication>
#include <QStyle>
#include <QTest>
#include <QWidget>

#include "platform/uxtheme/ThemeEntries.h"
#include "tests/platform/uxtheme/Surface.h"

using namespace uxtheme;

namespace {

class ThemeEntriesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QApplication::setStyle(QStringLiteral("fusion"));
        SetThemeAppProperties(7);
    }
    void TearDown() override
    {
        for (HTHEME theme : opened_) CloseThemeData(theme);
        QApplication::setStyle(QStringLiteral("fusion"));
    }
    HTHEME Open(const char16_t* classes)
    {
        HTHEME theme = OpenThemeData(nullptr, classes);
        if (theme) opened_.push_back(theme);
        return theme;
    }

private:
    std::vector<HTHEME> opened_;
};

struct PartCase {
    const char16_t* Class;
    int Part;
    int State;
    bool CoversPixels;
};

void PrintTo(const PartCase& c, std::ostream* out)
{
    *out << QString::fromUtf16(c.Class).toStdString() << " " << c.Part << " " << c.State;
}

class DrawsPart : public ThemeEntriesTest, public ::testing::WithParamInterface<PartCase> {};

TEST_P(DrawsPart, WithTheApplicationsStyle)
{
    const PartCase& part = GetParam();
    HTHEME theme = Open(part.Class);
    ASSERT_NE(theme, nullptr);
    Surface surface;
    const RECT rect{0, 0, 80, 40};
    EXPECT_EQ(DrawThemeBackground(theme, &surface.DC, part.Part, part.State, &rect, nullptr), S_OK);
    EXPECT_EQ(Covered(surface.Done()) > 0, part.CoversPixels);
}

INSTANTIATE_TEST_SUITE_P(Parts, DrawsPart,
                         ::testing::Values(PartCase{u"button", 1, 1, true}, PartCase{u"button", 1, 5, true},
                                           PartCase{u"button", 2, 5, true}, PartCase{u"button", 3, 9, true},
                                           PartCase{u"button", 4, 2, true}, PartCase{u"button", 5, 1, true},
                                           PartCase{u"edit", 1, 1, true}, PartCase{u"status", 0, 2, true},
                                           PartCase{u"tab", 1, 3, true}, PartCase{u"tab", 9, 1, true},
                                           PartCase{u"tab", 10, 1, true}, PartCase{u"toolbar", 1, 2, true},
                                           PartCase{u"toolbar", 1, 1, false},
                                           PartCase{u"trackbar", 1, 1, true},
                                           PartCase{u"trackbar", 3, 1, true}, PartCase{u"rebar", 3, 1, true},
                                           PartCase{u"window", 0, 1, true}),
                         [](const ::testing::TestParamInfo<PartCase>& info) {
                             const PartCase& part = info.param;
                             return QString::fromUtf16(part.Class).toStdString() + "_" +
                                    std::to_string(part.Part) + "_" + std::to_string(part.State);
                         });

TEST_F(ThemeEntriesTest, OpensTheClassesItKnowsAndClosesEachHandleOnce)
{
    EXPECT_NE(Open(u"BUTTON"), nullptr);
    EXPECT_NE(Open(u"nosuch; Status"), nullptr);
    EXPECT_EQ(Open(u"nosuch"), nullptr);
    EXPECT_EQ(OpenThemeData(nullptr, nullptr), nullptr);

    HTHEME theme = OpenThemeData(nullptr, u"tab");
    ASSERT_NE(theme, nullptr);
    EXPECT_EQ(CloseThemeData(theme), S_OK);
    EXPECT_EQ(CloseThemeData(theme), E_HANDLE);
    EXPECT_EQ(CloseThemeData(nullptr), E_HANDLE);
    Surface surface;
    const RECT rect{0, 0, 10, 10};
    EXPECT_EQ(DrawThemeBackground(theme, &surface.DC, 1, 1, &rect, nullptr), E_HANDLE);
    EXPECT_EQ(Covered(surface.Done()), 0);
}

TEST_F(ThemeEntriesTest, TheClassicStyleMeansNoVisualStyles)
{
    EXPECT_EQ(IsThemeActive(), 1);
    EXPECT_EQ(IsAppThemed(), 1);
    QApplication::setStyle(QStringLiteral("windows"));
    EXPECT_EQ(IsThemeActive(), 0);
    EXPECT_EQ(IsAppThemed(), 0);
    EXPECT_EQ(Open(u"button"), nullptr);
}

TEST_F(ThemeEntriesTest, RefusesWhatItCannotDraw)
{
    HTHEME button = Open(u"button");
    HTHEME clock = Open(u"clock");
    Surface surface;
    const RECT rect{0, 0, 20, 20};
    EXPECT_EQ(DrawThemeBackground(button, &surface.DC, 6, 1, &rect, nullptr), E_INVALIDARG);
    EXPECT_EQ(DrawThemeBackground(button, nullptr, 1, 1, &rect, nullptr), E_INVALIDARG);
    EXPECT_EQ(DrawThemeBackground(button, &surface.DC, 1, 1, nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(DrawThemeBackground(clock, &surface.DC, 1, 1, &rect, nullptr), E_INVALIDARG);
    EXPECT_EQ(DrawThemeBackground(clock, &surface.DC, 0, 1, &rect, nullptr), S_OK);
    // A state the part does not have is drawn as its first state.
    EXPECT_EQ(DrawThemeBackground(button, &surface.DC, 1, 99, &rect, nullptr), S_OK);
    DeviceContext idle;
    QPainter inactive;
    idle.Painter = &inactive;
    EXPECT_EQ(DrawThemeBackground(button, &idle, 1, 1, &rect, nullptr), E_INVALIDARG);
    EXPECT_EQ(DrawThemeText(button, &surface.DC, 1, 1, nullptr, -1, 0, 0, &rect), E_INVALIDARG);
}

TEST_F(ThemeEntriesTest, DrawsOnlyInsideTheClipRectangle)
{
    HTHEME theme = Open(u"button");
    Surface surface;
    const RECT rect{0, 0, 80, 40};
    const RECT clip{0, 0, 40, 40};
    DrawThemeBackground(theme, &surface.DC, 1, 1, &rect, &clip);
    const QImage& image = surface.Done();
    EXPECT_GT(Covered(image, QRect(0, 0, 40, 40)), 0);
    EXPECT_EQ(Covered(image, QRect(40, 0, 40, 40)), 0);
}

TEST_F(ThemeEntriesTest, AGroupBoxFrameStartsAtTheTopOfItsRectangle)
{
    HTHEME theme = Open(u"button");
    Surface surface(QSize(80, 60));
    const RECT rect{0, 10, 80, 60};
    DrawThemeBackground(theme, &surface.DC, 4, 1, &rect, nullptr);
    const QImage& image = surface.Done();
    EXPECT_EQ(Covered(image, QRect(0, 0, 80, 10)), 0);
    EXPECT_GT(Covered(image, QRect(0, 10, 80, 2)), 0);
    EXPECT_EQ(IsThemeBackgroundPartiallyTransparent(theme, 4, 1), 1);
}

TEST_F(ThemeEntriesTest, TheTabBodyIsOpaque)
{
    EXPECT_EQ(IsThemeBackgroundPartiallyTransparent(Open(u"tab"), 10, 1), 0);
    EXPECT_EQ(IsThemeBackgroundPartiallyTransparent(nullptr, 10, 1), 0);
}

TEST_F(ThemeEntriesTest, WritesTextInTheColourOfThePartsState)
{
    HTHEME theme = Open(u"button");
    const RECT rect{0, 0, 80, 40};
    Surface normal;
    Surface disabled;
    EXPECT_EQ(DrawThemeText(theme, &normal.DC, 1, 1, u"WWW", -1, 0, 0, &rect), S_OK);
    EXPECT_EQ(DrawThemeText(theme, &disabled.DC, 1, 4, u"WWWxyz", 3, 0, 0, &rect), S_OK);
    const QImage& a = normal.Done();
    const QImage& b = disabled.Done();
    ASSERT_GT(Covered(a), 0);
    EXPECT_EQ(Covered(a), Covered(b)) << "the length limits the text";
    EXPECT_NE(QApplication::palette().color(QPalette::ButtonText),
              QApplication::palette().color(QPalette::Disabled, QPalette::ButtonText));
    EXPECT_NE(a, b);
}

TEST_F(ThemeEntriesTest, ContentLiesInsideTheBounds)
{
    const RECT bounds{10, 10, 90, 40};
    RECT content{};
    ASSERT_EQ(GetThemeBackgroundContentRect(Open(u"button"), nullptr, 1, 1, &bounds, &content), S_OK);
    EXPECT_GE(content.left, bounds.left);
    EXPECT_GE(content.top, bounds.top);
    EXPECT_LE(content.right, bounds.right);
    EXPECT_LE(content.bottom, bounds.bottom);
    EXPECT_LT(content.right - content.left, bounds.right - bounds.left);
}

TEST_F(ThemeEntriesTest, DrawsASunkenEdgeAndReportsWhatIsInside)
{
    HTHEME theme = Open(u"rebar");
    Surface surface(QSize(20, 20));
    const RECT rect{0, 0, 20, 20};
    RECT content{};
    EXPECT_EQ(DrawThemeEdge(theme, &surface.DC, 3, 1, &rect, EDGE_SUNKEN, BF_RECT | BF_ADJUST, &content),
              S_OK);
    const QImage& image = surface.Done();
    EXPECT_EQ(content, (RECT{2, 2, 18, 18}));
    const QPalette palette = QApplication::palette();
    EXPECT_EQ(QColor(image.pixel(0, 5)).rgb(), palette.color(QPalette::Dark).rgb());
    EXPECT_EQ(QColor(image.pixel(19, 5)).rgb(), palette.color(QPalette::Light).rgb());
    EXPECT_EQ(Covered(image, QRect(2, 2, 16, 16)), 0);

    Surface left(QSize(20, 20));
    DrawThemeEdge(theme, &left.DC, 3, 1, &rect, EDGE_SUNKEN, BF_LEFT, nullptr);
    EXPECT_EQ(Covered(left.Done(), QRect(2, 0, 18, 20)), 0);
}

TEST_F(ThemeEntriesTest, KeepsTheProcessesThemeProperties)
{
    SetThemeAppProperties(STAP_ALLOW_CONTROLS);
    EXPECT_EQ(GetThemeAppProperties(), STAP_ALLOW_CONTROLS);
    SetThemeAppProperties(0xFF);
    EXPECT_EQ(GetThemeAppProperties(), 7u);
}

TEST_F(ThemeEntriesTest, AStyleChangeIsSentAsAThemeChange)
{
    struct Counter : QObject {
        int Seen = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            Seen += event->type() == ThemeChangedEvent;
            return false;
        }
    };
    Counter application;
    Counter window;
    QWidget topLevel;
    qApp->installEventFilter(&application);
    topLevel.installEventFilter(&window);
    ASSERT_EQ(IsThemeActive(), 1);
    QApplication::setStyle(QStringLiteral("windows"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return application.Seen > 0 && window.Seen > 0; }));
    EXPECT_EQ(IsThemeActive(), 0);
    qApp->removeEventFilter(&application);
}

TEST_F(ThemeEntriesTest, PaintsWhatLiesBehindAWindow)
{
    QWidget parent;
    parent.resize(60, 40);
    QPalette red;
    red.setColor(QPalette::Window, Qt::red);
    parent.setPalette(red);
    parent.setAutoFillBackground(true);
    auto* child = new QWidget(&parent);
    child->setGeometry(10, 10, 30, 20);

    Surface whole(QSize(30, 20));
    EXPECT_EQ(DrawThemeParentBackground(child, &whole.DC, nullptr), S_OK);
    EXPECT_EQ(QColor(whole.Done().pixel(15, 10)).rgb(), QColor(Qt::red).rgb());

    Surface part(QSize(30, 20));
    const RECT area{0, 0, 10, 20};
    DrawThemeParentBackground(child, &part.DC, &area);
    EXPECT_EQ(Covered(part.Done(), QRect(10, 0, 20, 20)), 0);

    Surface none;
    EXPECT_EQ(DrawThemeParentBackground(&parent, &none.DC, nullptr), E_FAIL);
    EXPECT_EQ(DrawThemeParentBackground(nullptr, &none.DC, nullptr), E_INVALIDARG);
    EXPECT_EQ(EnableThemeDialogTexture(nullptr, ETDT_ENABLETAB), E_INVALIDARG);
}

}  // namespace
