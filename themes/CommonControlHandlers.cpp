// Handlers of the common controls and of any other windowed control: list views, status bars,
// track bars and the rest.

#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWidget>

#include "platform/uxtheme/Gdi.h"
#include "themes/ClassHandlers.h"
#include "themes/ControlClasses.h"
#include "themes/ControlHandlers.h"
#include "themes/ControlWindowProc.h"

namespace themes {

using namespace uxtheme;

namespace {

// The width (horizontal) or height (vertical) of the focus border around a focused control.
int FocusBorder(const QWidget* control, Qt::Orientation orientation)
{
    return control->style()->pixelMetric(
        orientation == Qt::Horizontal ? QStyle::PM_FocusFrameHMargin : QStyle::PM_FocusFrameVMargin, nullptr,
        control);
}

bool ShowsFocus(QWidget* bar)
{
    return bar->hasFocus() && !(SendControlMessage(bar, WM_QUERYUISTATE) & UISF_HIDEFOCUS);
}

void DrawTicsBackground(const HandlerContext& context, QWidget* bar, const NMCUSTOMDRAW& draw)
{
    RECT rect = ClientRect(bar);
    if (ShowsFocus(bar)) {
        const int dx = FocusBorder(bar, Qt::Horizontal);
        const int dy = FocusBorder(bar, Qt::Vertical);
        rect = RECT{rect.left + dx, rect.top + dy, rect.right - dx, rect.bottom - dy};
    }
    context.Services.DrawParentBackground(bar, draw.hdc, nullptr, false, &rect);
}

void DrawChannelBackground(const HandlerContext& context, QWidget* bar, const NMCUSTOMDRAW& draw)
{
    RECT rect = draw.rc;  // the channel rectangle
    const auto* slider = static_cast<const QSlider*>(bar);
    const bool horizontal = slider->orientation() == Qt::Horizontal;
    const int focus = bar->hasFocus() ? FocusBorder(bar, slider->orientation()) : 0;
    const RECT client = ClientRect(bar);
    if (horizontal) {
        rect.left = client.left + focus;
        rect.right = client.right - focus;
    } else {
        rect.top = client.top + focus;
        rect.bottom = client.bottom - focus;
    }
    draw.hdc->Painter->save();
    IntersectClipRect(draw.hdc, rect);
    const ElementDetails details = TrackbarDetails(34);
    context.Services.DrawParentBackground(bar, draw.hdc, &details, false, nullptr);
    RemoveClipping(draw.hdc);
    draw.hdc->Painter->restore();
}

}  // namespace

void ListViewHandler(const HandlerContext& context, QWidget* control, TMessage& message)
{
    // A column that has no image (index -1) must not keep room for one.
    if (message.Msg == LVM_SETCOLUMNA || message.Msg == LVM_INSERTCOLUMNA) {
        auto* column = reinterpret_cast<LVCOLUMN*>(message.LParam);
        if (column && column->iImage == -1) column->mask &= ~LVCF_IMAGE;
    }
    context.PassOn(control, message);
}

void StatusBarHandler(const HandlerContext& context, QWidget* control, TMessage& message)
{
    switch (message.Msg) {
        case WM_ERASEBKGND:
            context.Services.DrawElementBackground(DCOf(message), StatusDetails(1), ClientRect(control),
                                                   nullptr);
            message.Result = 1;
            return;
        case WM_NCCALCSIZE:
            context.PassOn(control, message);
            if (message.WParam != 0) message.Result |= WVR_HREDRAW | WVR_VREDRAW;
            return;
        default:
            break;
    }
    context.PassOn(control, message);
}

void TrackBarHandler(const HandlerContext& context, QWidget* control, TMessage& message)
{
    if (message.Msg != CN_NOTIFY) {
        context.PassOn(control, message);
        return;
    }
    const auto* draw = reinterpret_cast<const NMCUSTOMDRAW*>(message.LParam);
    if (!draw || draw->code != NM_CUSTOMDRAW) return;
    if (draw->dwDrawStage == CDDS_PREPAINT) {
        message.Result = CDRF_NOTIFYITEMDRAW;
        return;
    }
    if (draw->dwDrawStage == CDDS_ITEMPREPAINT && draw->hdc) {
        if (draw->dwItemSpec == TBCD_TICS)
            DrawTicsBackground(context, control, *draw);
        else if (draw->dwItemSpec == TBCD_CHANNEL)
            DrawChannelBackground(context, control, *draw);
    }
    message.Result = CDRF_DODEFAULT;
}

void WinControlHandler(const HandlerContext& context, QWidget* control, TMessage& message)
{
    switch (message.Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case CN_KEYDOWN:
            ShowKeyboardCues(control, LOWORD(message.WParam));
            break;
        case WM_ERASEBKGND:
            if (!IsScrollingWinControl(control)) break;
            if (DoubleBuffered(control))
                PaintParentInto(control, DCOf(message));
            else
                context.Services.DrawParentBackground(control, DCOf(message), nullptr, false, nullptr);
            message.Result = 1;
            return;
        case WM_NCPAINT:
            context.PassOn(control, message);
            context.Services.PaintClientEdge(control, IsGrid(control));
            return;
        case CN_CTLCOLORSTATIC:
            if (!IsStaticText(control)) break;
            DCOf(message)->Painter->setBackgroundMode(Qt::TransparentMode);
            context.Services.DrawParentBackground(control, DCOf(message), nullptr, false, nullptr);
            context.PassOn(control, message);
            message.Result = NULL_BRUSH;
            return;
        default:
            break;
    }
    context.PassOn(control, message);
}

}  // namespace themes
