// Handlers of the controls that draw buttons or items: button controls, speed buttons, check list
// boxes, and animations.

#include <QListWidget>
#include <QWidget>

#include "platform/uxtheme/Gdi.h"
#include "themes/ClassHandlers.h"
#include "themes/ControlClasses.h"
#include "themes/ControlHandlers.h"
#include "themes/StyledButtons.h"
#include "themes/StyledCheckList.h"

namespace themes {

using namespace uxtheme;

void AnimateHandler(const HandlerContext& context, QWidget* control, TMessage& message)
{
    switch (message.Msg) {
        case WM_ERASEBKGND:
            message.Result = 1;
            return;
        case CN_CTLCOLORSTATIC:
            // A transparent animation stands on its colour (a system colour's brush).
            if (control->property("Transparent").toBool() || !control->property("Transparent").isValid()) {
                FillRect(DCOf(message), ClientRect(control), ControlColor(control));
                message.Result = static_cast<LRESULT>(ControlColor(control).rgb() & 0x7FFFFFFF);
                return;
            }
            break;
        default:
            break;
    }
    context.PassOn(control, message);
}

void ButtonControlHandler(const HandlerContext& context, QWidget* control, TMessage& message)
{
    switch (message.Msg) {
        case WM_ERASEBKGND:
            message.Result = 1;
            return;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case CN_KEYDOWN:
            ShowKeyboardCues(control, LOWORD(message.WParam));
            break;
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            // Repainted for the hot look; the control still hears it (status tips, its own
            // enter handling).
            if (IsBitBtn(control)) control->update();
            break;
        case CN_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
            const ElementDetails details = ButtonDetails(2);
            context.Services.DrawParentBackground(control, item.hDC, &details, true, nullptr);
            DrawThemedBitBtn(control, item);
            return;
        }
        case CN_CTLCOLORBTN:
        case CN_CTLCOLORSTATIC:
            ParentBackground(control, DCOf(message), nullptr, false);
            message.Result = NULL_BRUSH;
            return;
        default:
            break;
    }
    context.PassOn(control, message);
}

void CheckListBoxHandler(const HandlerContext& context, QWidget* control, TMessage& message)
{
    if (message.Msg == CN_DRAWITEM) {
        DrawCheckListBoxItem(static_cast<QListWidget*>(control),
                             *reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam));
        return;
    }
    context.PassOn(control, message);
}

void SpeedButtonHandler(const HandlerContext& context, QWidget* control, TMessage& message)
{
    switch (message.Msg) {
        case WM_PAINT: {
            WidgetDC dc(control);
            PaintParentInto(control, dc.get());
            DrawThemedButton(control, SpeedButtonState(control), false, ClientRect(control), dc.get());
            message.Result = 0;
            return;
        }
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            if (!IsFlat(control) && control->isEnabled()) control->update();
            break;
        default:
            break;
    }
    context.PassOn(control, message);
}

}  // namespace themes
