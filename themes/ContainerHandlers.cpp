// Handlers of the controls that hold other controls: forms, frames, group boxes, panels and tab
// sheets. In Qt the controls on them paint themselves, so painting a container paints only the
// container (the framework's PaintControls has nothing left to do).

#include <QGroupBox>
#include <QWidget>

#include "platform/uxtheme/Gdi.h"
#include "themes/ClassHandlers.h"
#include "themes/ControlClasses.h"
#include "themes/ControlHandlers.h"
#include "themes/ThemeMgr.h"

namespace themes {

using namespace uxtheme;

namespace {

bool IsKeyMessage(unsigned msg)
{
    return msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN || msg == CN_KEYDOWN;
}

// A panel is styled when it takes its parent's colour (and styles are enabled), or when it has the
// very colour of its parent's background.
bool PanelIsStyled(const QWidget* panel)
{
    const bool sameAsParent = panel->parentWidget() && ParentBrushColor(panel) == ControlColor(panel);
    return (StylesEnabled() && ParentColor(panel)) || sameAsParent;
}

int AlignmentFlag(int alignment)
{
    return alignment == 0 ? DT_LEFT : alignment == 1 ? DT_RIGHT : DT_CENTER;
}

void PaintPanelCaption(QWidget* panel, HDC dc, RECT rect, const PanelProperties& properties)
{
    QPainter& painter = *dc->Painter;
    const int height = painter.fontMetrics().height();
    rect.top = (rect.top + rect.bottom - height) / 2;
    rect.bottom = rect.top + height;
    const unsigned format = DrawTextBiDiModeFlags(
        panel, static_cast<unsigned>(AlignmentFlag(properties.Alignment)) | DT_EXPANDTABS | DT_VCENTER);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(panel->palette().color(panel->foregroundRole()));
    DrawText(dc, properties.Caption, rect, format);
}

void PanelBevel(HDC dc, RECT& rect, BevelKind kind, int width, const QWidget* panel)
{
    if (kind == BevelKind::None) return;
    QColor top = panel->palette().color(QPalette::Light);
    QColor bottom = panel->palette().color(QPalette::Dark);
    if (kind == BevelKind::Lowered) std::swap(top, bottom);
    Frame3D(dc, rect, top, bottom, width);
}

}  // namespace

void FormHandler(const HandlerContext& context, QWidget* control, TMessage& message)
{
    context.PassOn(control, message);
}

void FrameHandler(const HandlerContext& context, QWidget* control, TMessage& message)
{
    switch (message.Msg) {
        case WM_PAINT:
            message.Result = 0;
            return;
        case WM_ERASEBKGND: {
            const ElementDetails details = ButtonDetails(27);
            ParentBackground(control, DCOf(message), &details, false);
            message.Result = 1;
            return;
        }
        default:
            break;
    }
    context.PassOn(control, message);
}

void PaintGroupBox(QWidget* box, HDC dc)
{
    QPainter& painter = *dc->Painter;
    const QFont oldFont = painter.font();
    painter.setFont(box->font());
    const QString caption = static_cast<QGroupBox*>(box)->title();
    RECT captionRect{};
    if (!caption.isEmpty()) {
        painter.setPen(box->palette().color(box->foregroundRole()));
        const QFontMetrics metrics(box->font());
        const int width = metrics.horizontalAdvance(caption);
        const int left = UseRightToLeftAlignment(box) ? box->width() - 8 - width : 8;
        captionRect = RECT{left, 0, left + width, metrics.height()};
    }
    RECT frame = ClientRect(box);
    frame.top = (captionRect.bottom - captionRect.top) / 2;
    const ElementDetails details = ButtonDetails(box->isEnabled() ? 27 : 28);
    ExcludeClipRect(dc, captionRect);
    GlobalThemeServices().DrawElementBackground(dc, details, frame, nullptr);
    RemoveClipping(dc);
    if (!caption.isEmpty()) GlobalThemeServices().DrawElementText(dc, details, caption, captionRect, 0, 0);
    painter.setFont(oldFont);
}

void GroupBoxHandler(const HandlerContext& context, QWidget* control, TMessage& message)
{
    if (IsKeyMessage(message.Msg)) ShowKeyboardCues(control, LOWORD(message.WParam));
    switch (message.Msg) {
        case WM_ERASEBKGND: {
            const ElementDetails details = ButtonDetails(27);
            ParentBackground(control, DCOf(message), &details, true);
            message.Result = 1;
            return;
        }
        case WM_PAINT: {
            WidgetDC dc(control);
            PaintGroupBox(control, dc.get());
            message.Result = 0;
            return;
        }
        default:
            break;
    }
    context.PassOn(control, message);
}

void PaintPanel(QWidget* panel, HDC dc)
{
    QPainter& painter = *dc->Painter;
    painter.save();
    painter.setFont(panel->font());
    const PanelProperties properties = ReadPanel(panel);
    RECT rect = ClientRect(panel);
    PanelBevel(dc, rect, properties.BevelOuter, properties.BevelWidth, panel);
    rect = RECT{rect.left + properties.BorderWidth, rect.top + properties.BorderWidth,
                rect.right - properties.BorderWidth, rect.bottom - properties.BorderWidth};
    PanelBevel(dc, rect, properties.BevelInner, properties.BevelWidth, panel);
    if (ParentColor(panel) || (panel->parentWidget() && ParentBrushColor(panel) == ControlColor(panel))) {
        const ElementDetails details = ButtonDetails(27);
        ParentBackground(panel, dc, &details, false, &rect);
    } else {
        FillRect(dc, rect, ControlColor(panel));
    }
    PaintPanelCaption(panel, dc, rect, properties);
    painter.restore();
}

void PanelHandler(const HandlerContext& context, QWidget* control, TMessage& message)
{
    if (!PanelIsStyled(control)) {
        context.PassOn(control, message);
        return;
    }
    switch (message.Msg) {
        case WM_PAINT: {
            WidgetDC dc(control);
            PaintPanel(control, dc.get());
            message.Result = 0;
            return;
        }
        case WM_ERASEBKGND: {
            const ElementDetails details = ButtonDetails(27);
            ParentBackground(control, DCOf(message), &details, false);
            message.Result = 1;
            return;
        }
        case WM_NCPAINT:
            context.PassOn(control, message);
            if (ReadPanel(control).SingleBorder) {
                WidgetDC dc(control);
                context.Services.DrawElementEdge(dc.get(), RebarDetails(4), ClientRect(control), EDGE_SUNKEN,
                                                 BF_RECT, nullptr);
            }
            message.Result = 0;
            return;
        case WM_PRINTCLIENT:
            PaintPanel(control, DCOf(message));
            message.Result = 0;
            return;
        default:
            break;
    }
    context.PassOn(control, message);
}

void TabSheetHandler(const HandlerContext& context, QWidget* control, TMessage& message)
{
    switch (message.Msg) {
        case WM_ERASEBKGND:
        case WM_PRINTCLIENT:
            if (context.Manager.Options() & toAlternateTabSheetDraw)
                context.Services.DrawElementBackground(DCOf(message), TabDetails(43), ClientRect(control),
                                                       nullptr);
            else
                context.Services.DrawParentBackground(control, DCOf(message), nullptr, false, nullptr);
            message.Result = 1;
            return;
        case WM_NCPAINT: {
            // Only the border around the client area is painted: the parent's background shows there.
            const int border = BorderWidth(control);
            WidgetDC dc(control);
            const RECT client{border, border, control->width() - border, control->height() - border};
            ExcludeClipRect(dc.get(), client);
            SetWindowOrg(dc.get(), QPoint(-border, -border));
            const ElementDetails details = TabDetails(43);
            context.Services.DrawParentBackground(control, dc.get(), &details, false, nullptr);
            message.Result = 0;
            return;
        }
        default:
            break;
    }
    context.PassOn(control, message);
}

}  // namespace themes
