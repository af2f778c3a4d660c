#include "platform/uxtheme/Gdi.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTransform>
#include <QWidget>

namespace uxtheme {

namespace {

// Larger than any surface; the region that "everything" means before a rectangle is excluded.
const QRect kEverything(QPoint(-32768, -32768), QPoint(32767, 32767));

QStyle* StyleOf(const QWidget* window)
{
    return window ? window->style() : QApplication::style();
}

}  // namespace

WidgetDC::WidgetDC(QWidget* widget) : painter_(widget)
{
    dc_.Painter = &painter_;
    dc_.Window = widget;
}

QRect ToQRect(const RECT& rect)
{
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

RECT ToRECT(const QRect& rect)
{
    return RECT{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QColor GetSysColor(int index)
{
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
        case COLOR_WINDOW:
            return palette.color(QPalette::Base);
        case COLOR_WINDOWTEXT:
            return palette.color(QPalette::WindowText);
        case COLOR_HIGHLIGHT:
            return palette.color(QPalette::Highlight);
        case COLOR_HIGHLIGHTTEXT:
            return palette.color(QPalette::HighlightedText);
        case COLOR_BTNFACE:
            return palette.color(QPalette::Button);
        case COLOR_BTNSHADOW:
            return palette.color(QPalette::Dark);
        case COLOR_GRAYTEXT:
            return palette.color(QPalette::Disabled, QPalette::Text);
        case COLOR_BTNTEXT:
            return palette.color(QPalette::ButtonText);
        case COLOR_BTNHIGHLIGHT:
            return palette.color(QPalette::Light);
        case COLOR_3DDKSHADOW:
            return palette.color(QPalette::Shadow);
        case COLOR_3DLIGHT:
            return palette.color(QPalette::Midlight);
        default:
            return QColor(Qt::black);
    }
}

int GetSystemMetrics(int index)
{
    if (index == SM_CXVSCROLL || index == SM_CYHSCROLL)
        return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return 0;
}

int QtTextFlags(UINT format)
{
    int flags = (format & DT_CENTER)  ? Qt::AlignHCenter
                : (format & DT_RIGHT) ? Qt::AlignRight
                                      : Qt::AlignLeft;
    if (format & DT_SINGLELINE) {
        flags |= Qt::TextSingleLine;
        flags |= (format & DT_VCENTER)  ? Qt::AlignVCenter
                 : (format & DT_BOTTOM) ? Qt::AlignBottom
                                        : Qt::AlignTop;
    } else {
        flags |= Qt::AlignTop;
    }
    if (format & DT_WORDBREAK) flags |= Qt::TextWordWrap;
    if (format & DT_EXPANDTABS) flags |= Qt::TextExpandTabs;
    if (format & DT_NOCLIP) flags |= Qt::TextDontClip;
    if (!(format & DT_NOPREFIX))
        flags |= (format & DT_HIDEPREFIX) ? Qt::TextHideMnemonic : Qt::TextShowMnemonic;
    return flags;
}

int DrawText(HDC dc, const QString& text, RECT& rect, UINT format)
{
    if (!dc || !dc->Painter) return 0;
    QPainter& painter = *dc->Painter;
    const int flags = QtTextFlags(format);
    if (format & DT_CALCRECT) {
        // Measuring keeps the left and top; one line is as wide as its text, wrapped text keeps the width.
        const int width = (format & DT_WORDBREAK) ? rect.right - rect.left : 0xFFFFFF;
        const QRect bounds = painter.fontMetrics().boundingRect(QRect(rect.left, rect.top, width, 0xFFFFFF),
                                                                flags & ~Qt::AlignVertical_Mask, text);
        rect.right = rect.left + bounds.width();
        rect.bottom = rect.top + bounds.height();
        return bounds.height();
    }
    const Qt::LayoutDirection previous = painter.layoutDirection();
    if (format & DT_RTLREADING) painter.setLayoutDirection(Qt::RightToLeft);
    QRect drawn;
    painter.drawText(ToQRect(rect), flags, text, &drawn);
    painter.setLayoutDirection(previous);
    return drawn.height();
}

void FillRect(HDC dc, const RECT& rect, const QBrush& brush)
{
    if (dc && dc->Painter) dc->Painter->fillRect(ToQRect(rect), brush);
}

void DrawFocusRect(HDC dc, const RECT& rect)
{
    if (!dc || !dc->Painter) return;
    QStyleOptionFocusRect option;
    if (dc->Window) option.initFrom(dc->Window);
    option.rect = ToQRect(rect);
    option.state |= QStyle::State_KeyboardFocusChange;
    option.backgroundColor = option.palette.color(QPalette::Window);
    StyleOf(dc->Window)->drawPrimitive(QStyle::PE_FrameFocusRect, &option, dc->Painter, dc->Window);
}

void ExcludeClipRect(HDC dc, const RECT& rect)
{
    if (!dc || !dc->Painter) return;
    QPainter& painter = *dc->Painter;
    const QRegion current = painter.hasClipping() ? painter.clipRegion() : QRegion(kEverything);
    painter.setClipRegion(current.subtracted(QRegion(ToQRect(rect))));
}

void IntersectClipRect(HDC dc, const RECT& rect)
{
    if (dc && dc->Painter) dc->Painter->setClipRect(ToQRect(rect), Qt::IntersectClip);
}

void RemoveClipping(HDC dc)
{
    if (dc && dc->Painter) dc->Painter->setClipping(false);
}

QPoint GetWindowOrg(HDC dc)
{
    if (!dc || !dc->Painter) return {};
    const QTransform& transform = dc->Painter->worldTransform();
    return QPoint(-qRound(transform.dx()), -qRound(transform.dy()));
}

void SetWindowOrg(HDC dc, QPoint origin)
{
    if (dc && dc->Painter)
        dc->Painter->setWorldTransform(QTransform::fromTranslate(-origin.x(), -origin.y()));
}

}  // namespace uxtheme
