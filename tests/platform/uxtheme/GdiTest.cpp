// Device contexts and the GDI calls over them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>

#include "platform/uxtheme/Gdi.h"
#include "tests/platform/uxtheme/Surface.h"

using namespace uxtheme;

namespace {

TEST(GdiTest, TextFormatsBecomeQtFlags)
{
    EXPECT_EQ(QtTextFlags(DT_CENTER | DT_VCENTER | DT_SINGLELINE),
              Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic);
    // Vertical centring holds only for a single line, as in the system.
    EXPECT_EQ(QtTextFlags(DT_RIGHT | DT_VCENTER | DT_NOPREFIX), Qt::AlignRight | Qt::AlignTop);
    EXPECT_EQ(QtTextFlags(DT_WORDBREAK | DT_EXPANDTABS | DT_HIDEPREFIX),
              Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs | Qt::TextHideMnemonic);
}

TEST(GdiTest, MeasuringKeepsTheCornerAndLeavesThePrefixOut)
{
    Surface surface;
    const QFontMetrics metrics = surface.Painter.fontMetrics();
    RECT rect{5, 7, 500, 0};
    const int height = DrawText(&surface.DC, QStringLiteral("&Add..."), rect, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.top, 7);
    EXPECT_EQ(rect.right - rect.left, metrics.horizontalAdvance(QStringLiteral("Add...")));
    EXPECT_EQ(rect.bottom - rect.top, height);
    RECT raw{0, 0, 500, 0};
    DrawText(&surface.DC, QStringLiteral("&Add..."), raw, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(raw.right, metrics.horizontalAdvance(QStringLiteral("&Add...")));
    EXPECT_EQ(Covered(surface.Done()), 0) << "measuring draws nothing";
}

TEST(GdiTest, AnExcludedRectangleStaysUntouched)
{
    Surface surface(QSize(20, 20));
    ExcludeClipRect(&surface.DC, RECT{5, 5, 15, 15});
    FillRect(&surface.DC, RECT{0, 0, 20, 20}, QColor(Qt::blue));
    RemoveClipping(&surface.DC);
    const QImage& image = surface.Done();
    EXPECT_EQ(Covered(image, QRect(5, 5, 10, 10)), 0);
    EXPECT_EQ(Covered(image), 400 - 100);
}

TEST(GdiTest, TheWindowOriginMovesLogicalCoordinates)
{
    Surface surface(QSize(20, 20));
    SetWindowOrg(&surface.DC, QPoint(10, 10));
    EXPECT_EQ(GetWindowOrg(&surface.DC), QPoint(10, 10));
    FillRect(&surface.DC, RECT{10, 10, 12, 12}, QColor(Qt::blue));
    SetWindowOrg(&surface.DC, QPoint());
    const QImage& image = surface.Done();
    EXPECT_EQ(Covered(image, QRect(0, 0, 2, 2)), 4);
    EXPECT_EQ(Covered(image), 4);
}

TEST(GdiTest, RectanglesConvertBothWays)
{
    const RECT rect{3, 4, 13, 24};
    EXPECT_EQ(ToQRect(rect), QRect(3, 4, 10, 20));
    EXPECT_EQ(ToRECT(ToQRect(rect)), rect);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(GetSysColor(9999), QColor(Qt::black));
}

}  // namespace
