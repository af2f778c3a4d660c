#pragma once
// The handlers of the thirteen control classes, after the common frame has run. Each answers its
// class's messages and hands every other message to the control's previous window method.

#include "themes/ThemeMessages.h"
#include "themes/ThemeSrv.h"

class QWidget;

namespace themes {

class TThemeManager;
class TWindowProcList;

struct HandlerContext {
    TThemeManager& Manager;
    TWindowProcList& List;
    TThemeServices& Services;

    void PassOn(QWidget* control, TMessage& message) const;
};

void AnimateHandler(const HandlerContext& context, QWidget* control, TMessage& message);
void ButtonControlHandler(const HandlerContext& context, QWidget* control, TMessage& message);
void CheckListBoxHandler(const HandlerContext& context, QWidget* control, TMessage& message);
void FormHandler(const HandlerContext& context, QWidget* control, TMessage& message);
void FrameHandler(const HandlerContext& context, QWidget* control, TMessage& message);
void GroupBoxHandler(const HandlerContext& context, QWidget* control, TMessage& message);
void ListViewHandler(const HandlerContext& context, QWidget* control, TMessage& message);
void PanelHandler(const HandlerContext& context, QWidget* control, TMessage& message);
void SpeedButtonHandler(const HandlerContext& context, QWidget* control, TMessage& message);
void StatusBarHandler(const HandlerContext& context, QWidget* control, TMessage& message);
void TabSheetHandler(const HandlerContext& context, QWidget* control, TMessage& message);
void TrackBarHandler(const HandlerContext& context, QWidget* control, TMessage& message);
void WinControlHandler(const HandlerContext& context, QWidget* control, TMessage& message);

/// The device context a paint-family message carries in WParam.
inline uxtheme::HDC DCOf(const TMessage& message)
{
    return reinterpret_cast<uxtheme::HDC>(message.WParam);
}

/// The whole client area of a control as a RECT.
uxtheme::RECT ClientRect(const QWidget* control);

}  // namespace themes
