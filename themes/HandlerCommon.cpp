// The common frame of the handlers and the helpers they share.

#include <QWidget>

#include "platform/uxtheme/Gdi.h"
#include "themes/ClassHandlers.h"
#include "themes/ControlClasses.h"
#include "themes/ControlHandlers.h"
#include "themes/ControlWindowProc.h"
#include "themes/ThemeMgr.h"
#include "themes/WindowProcList.h"

namespace themes {

using namespace uxtheme;

namespace {

using Handler = void (*)(const HandlerContext&, QWidget*, TMessage&);

Handler HandlerOf(ControlKind kind)
{
    switch (kind) {
        case ControlKind::Animate:
            return AnimateHandler;
        case ControlKind::ButtonControl:
            return ButtonControlHandler;
        case ControlKind::CheckListBox:
            return CheckListBoxHandler;
        case ControlKind::Form:
            return FormHandler;
        case ControlKind::Frame:
            return FrameHandler;
        case ControlKind::GroupBox:
            return GroupBoxHandler;
        case ControlKind::ListView:
            return ListViewHandler;
        case ControlKind::Panel:
            return PanelHandler;
        case ControlKind::SpeedButton:
            return SpeedButtonHandler;
        case ControlKind::StatusBar:
            return StatusBarHandler;
        case ControlKind::TabSheet:
            return TabSheetHandler;
        case ControlKind::TrackBar:
            return TrackBarHandler;
        case ControlKind::WinControl:
            return WinControlHandler;
    }
    return WinControlHandler;
}

// List views, forms and panels run without the styles test (a panel has its own).
bool NeedsStyles(ControlKind kind)
{
    return kind != ControlKind::ListView && kind != ControlKind::Form && kind != ControlKind::Panel;
}

}  // namespace

void HandlerContext::PassOn(QWidget* control, TMessage& message) const
{
    List.DispatchToPrevious(control, message);
}

RECT ClientRect(const QWidget* control)
{
    return RECT{0, 0, control->width(), control->height()};
}

void HandleControlMessage(TThemeManager& manager, ControlKind kind, QWidget* control, TMessage& message)
{
    TWindowProcList& list = manager.List(kind);
    if (kind == ControlKind::Form && message.Msg == CM_CONTROLLISTCHANGE)
        manager.UpdateControlSubclass(reinterpret_cast<QWidget*>(message.WParam), message.LParam != 0);
    if (manager.DispatchControlMessage(control, message)) {
        if (kind == ControlKind::CheckListBox) list.DispatchToPrevious(control, message);
        return;
    }
    if (NeedsStyles(kind) && !StylesEnabled()) {
        list.DispatchToPrevious(control, message);
        return;
    }
    const HandlerContext context{manager, list, GlobalThemeServices()};
    HandlerOf(kind)(context, control, message);
}

void PaintParentInto(QWidget* control, HDC dc)
{
    QWidget* parent = control->parentWidget();
    if (!parent || !dc) return;
    const QPoint origin = GetWindowOrg(dc);
    SetWindowOrg(dc, origin + control->pos());
    SendControlMessage(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
    SetWindowOrg(dc, origin);
}

void ParentBackground(QWidget* control, HDC dc, const ElementDetails* details, bool onlyIfTransparent,
                      const RECT* rect)
{
    const QWidget* parent = control->parentWidget();
    if (parent && DoubleBuffered(parent))
        PaintParentInto(control, dc);
    else
        GlobalThemeServices().DrawParentBackground(control, dc, details, onlyIfTransparent, rect);
}

void ShowKeyboardCues(QWidget* control, unsigned key)
{
    QWidget* form = FormOf(control);
    if (!form) return;
    unsigned cue = 0;
    if (key == VK_TAB || (key >= VK_LEFT && key <= VK_DOWN))
        cue = UISF_HIDEFOCUS;
    else if (key == VK_MENU)
        cue = UISF_HIDEACCEL;
    if (cue) SendControlMessage(form, WM_CHANGEUISTATE, MAKELONG(UIS_CLEAR, cue), 0);
}

void Frame3D(HDC dc, RECT& rect, const QColor& topColor, const QColor& bottomColor, int width)
{
    QPainter& painter = *dc->Painter;
    for (int i = 0; i < width; ++i) {
        const QRect r = ToQRect(rect);
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topColor);
        painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topColor);
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomColor);
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomColor);
        rect = RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    }
}

}  // namespace themes
