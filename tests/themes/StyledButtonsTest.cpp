// Bit buttons and speed buttons: glyph and caption layout, parts and images.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

#include "platform/uxtheme/Gdi.h"
#include "tests/themes/support/ThemeTestSupport.h"
#include "themes/StyledButtons.h"
#include "themes/ThemeSrv.h"

using namespace themes;
using namespace themes_test;
using uxtheme::RECT;

namespace {

struct LayoutCase {
    const char* Name;
    GlyphLayoutInput Input;
    QPoint Glyph;
    QPoint Text;
};

void PrintTo(const LayoutCase& c, std::ostream* out)
{
    *out << c.Name;
}

class GlyphLayoutTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(GlyphLayoutTable, PlacesGlyphAndCaption)
{
    const LayoutCase& c = GetParam();
    const GlyphLayout layout = ComputeGlyphLayout(c.Input);
    EXPECT_EQ(layout.GlyphPos, c.Glyph) << c.Name;
    EXPECT_EQ(layout.TextPos, c.Text) << c.Name;
}

GlyphLayoutInput Input(int layout, int margin, int spacing, QSize glyph, QSize text, unsigned biDi = 0)
{
    GlyphLayoutInput input;
    input.Layout = layout;
    input.Margin = margin;
    input.Spacing = spacing;
    input.Client = QSize(100, 30);
    input.Glyph = glyph;
    input.Text = text;
    input.BiDiFlags = biDi;
    return input;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, GlyphLayoutTable,
    ::testing::Values(
        // Caption only: no spacing, centred along the axis.
        LayoutCase{"caption only", Input(0, -1, 4, QSize(0, 0), QSize(40, 14)), QPoint(30, 15),
                   QPoint(30, 8)},
        // Glyph left, automatic margin: glyph, spacing and caption centred together.
        LayoutCase{"glyph left", Input(0, -1, 4, QSize(16, 16), QSize(40, 14)), QPoint(20, 7), QPoint(40, 8)},
        // Margin and spacing automatic: the free space in three equal parts.
        LayoutCase{"thirds", Input(0, -1, -1, QSize(16, 16), QSize(40, 14)), QPoint(14, 7), QPoint(44, 8)},
        LayoutCase{"glyph right", Input(1, 5, 4, QSize(16, 16), QSize(40, 14)), QPoint(79, 7), QPoint(35, 8)},
        // Right to left: a glyph on the left goes to the right.
        LayoutCase{"right to left", Input(0, 5, 4, QSize(16, 16), QSize(40, 14), uxtheme::DT_RIGHT),
                   QPoint(79, 7), QPoint(35, 8)},
        // A given margin with automatic spacing centres the caption in the rest.
        LayoutCase{"margin given", Input(0, 2, -1, QSize(16, 16), QSize(40, 14)), QPoint(2, 7),
                   QPoint(39, 8)},
        LayoutCase{"glyph top", Input(2, 1, 2, QSize(16, 16), QSize(40, 10)), QPoint(42, 1), QPoint(30, 19)},
        LayoutCase{"glyph bottom", Input(3, 1, 2, QSize(16, 16), QSize(40, 10)), QPoint(42, 13),
                   QPoint(30, 1)}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) {
        std::string name = info.param.Name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

/// Buttons drawn on a picture through the theme services, over the library given.
class StyledButtonsTest : public ::testing::Test {
protected:
    explicit StyledButtonsTest(const std::string& library = RecordingLibraryPath()) : library_(library) {}

    QImage Draw(QWidget* button, int state, bool focused)
    {
        QImage image(button->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        uxtheme::DeviceContext dc{&painter, button};
        DrawThemedButton(button, state, focused, RECT{0, 0, button->width(), button->height()}, &dc);
        return image;
    }

    ScopedThemeLibrary library_;
};

/// Images of 16 pixels: a square of one colour each on magenta, the colour that the glyph's
/// bottom-left pixel makes transparent.
QPixmap Glyph(std::initializer_list<Qt::GlobalColor> colours)
{
    QPixmap glyph(16 * static_cast<int>(colours.size()), 16);
    glyph.fill(Qt::magenta);
    QPainter painter(&glyph);
    int left = 0;
    for (const Qt::GlobalColor colour : colours) {
        painter.fillRect(left + 2, 2, 12, 12, colour);
        left += 16;
    }
    return glyph;
}

TEST_F(StyledButtonsTest, AButtonWithoutGlyphAndCaptionDrawsOnlyItsFaceAndFocus)
{
    QPushButton button;
    button.resize(60, 24);
    GlobalThemeServices();
    const QImage unfocused = Draw(&button, 2, false);
    EXPECT_EQ(Recording().CallsOf("DrawThemeBackground").size(), 1u);
    EXPECT_EQ(Recording().CallsOf("DrawThemeBackground")[0].Part, 1);
    EXPECT_TRUE(Recording().CallsOf("DrawThemeText").empty());
    EXPECT_EQ(unfocused.pixel(30, 12), QColor(Qt::white).rgba()) << "nothing but the (recorded) face";
    const QImage focused = Draw(&button, 6, true);
    EXPECT_NE(focused, unfocused) << "the focus rectangle";
    EXPECT_EQ(Recording().CallsOf("DrawThemeBackground").back().State, 5);
}

TEST_F(StyledButtonsTest, AFlatSpeedButtonIsAToolBarButton)
{
    QToolButton speed;
    speed.setAutoRaise(true);
    speed.resize(30, 24);
    GlobalThemeServices();
    Draw(&speed, 3, false);
    speed.setAutoRaise(false);
    Draw(&speed, 3, false);
    const auto faces = Recording().CallsOf("DrawThemeBackground");
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_EQ(faces[0].Class, u"toolbar");
    EXPECT_EQ(faces[0].Part, 1);
    EXPECT_EQ(faces[0].State, 2);
    EXPECT_EQ(faces[1].Class, u"button");
}

class StyledButtonsWithTheStyles : public StyledButtonsTest {
protected:
    StyledButtonsWithTheStyles() : StyledButtonsTest(RealLibraryPath()) {}

    static QRgb GlyphColour(const QImage& image, const QPoint& glyphCentre)
    {
        return image.pixel(glyphCentre);
    }
};

TEST_F(StyledButtonsWithTheStyles, TheGlyphImageFollowsTheButtonsState)
{
    QPushButton bit;
    bit.resize(60, 40);
    bit.setProperty("Glyph", Glyph({Qt::red, Qt::green, Qt::blue}));
    bit.setProperty("NumGlyphs", 3);
    const QPoint centre(30, 20);  // glyph alone, centred
    const QImage normal = Draw(&bit, 2, false);
    EXPECT_EQ(GlyphColour(normal, centre), QColor(Qt::red).rgb());
    EXPECT_NE(GlyphColour(normal, centre - QPoint(7, 7)), QColor(Qt::magenta).rgb()) << "masked out";
    EXPECT_EQ(GlyphColour(Draw(&bit, 4, false), centre), QColor(Qt::blue).rgb()) << "pressed: the third";
    bit.setEnabled(false);
    EXPECT_EQ(GlyphColour(Draw(&bit, 5, false), centre), QColor(Qt::green).rgb()) << "disabled: the second";
    bit.setProperty("NumGlyphs", 1);
    bit.setProperty("Glyph", Glyph({Qt::red}));
    EXPECT_EQ(GlyphColour(Draw(&bit, 5, false), centre), QColor(Qt::red).rgb())
        << "one image is always shown";

    QToolButton speed;
    speed.resize(60, 40);
    speed.setProperty("Glyph", Glyph({Qt::red, Qt::green, Qt::blue, Qt::yellow}));
    speed.setProperty("NumGlyphs", 4);
    speed.setDown(true);
    EXPECT_EQ(GlyphColour(Draw(&speed, 4, false), centre), QColor(Qt::blue).rgb()) << "down: the third";
    speed.setDown(false);
    speed.setCheckable(true);
    speed.setChecked(true);
    EXPECT_EQ(GlyphColour(Draw(&speed, 4, false), centre), QColor(Qt::yellow).rgb())
        << "exclusive: the fourth";
}

TEST_F(StyledButtonsWithTheStyles, OnlyADisabledFlatButtonWritesItsCaptionGrey)
{
    QFont big;
    big.setPixelSize(40);
    big.setBold(true);
    const auto darkest = [](const QImage& image) {
        QRgb found = qRgb(255, 255, 255);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < qGray(found)) found = image.pixel(x, y);
        return QColor(found).rgb();
    };
    QToolButton flat;
    flat.setAutoRaise(true);
    flat.setText(QStringLiteral("I"));
    flat.setFont(big);
    flat.resize(60, 60);
    flat.setEnabled(false);
    EXPECT_EQ(darkest(Draw(&flat, 5, false)), uxtheme::GetSysColor(uxtheme::COLOR_GRAYTEXT).rgb());

    QPushButton bit(QStringLiteral("I"));
    bit.setProperty("Glyph", QPixmap());
    bit.setFont(big);
    bit.resize(60, 60);
    bit.setEnabled(false);
    QPalette palette = bit.palette();
    // The font colour; the palette's disabled grey stays as it is and must not be used.
    palette.setColor(QPalette::Active, QPalette::ButtonText, QColor(0, 0, 128));
    palette.setColor(QPalette::Inactive, QPalette::ButtonText, QColor(0, 0, 128));
    bit.setPalette(palette);
    EXPECT_EQ(darkest(Draw(&bit, 5, false)), QColor(0, 0, 128).rgb());
}

}  // namespace
