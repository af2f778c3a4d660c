#pragma once
// The handlers of the taken-over controls, one per control class. Each runs the common frame
// (the manager's control-message event first, then the styles test) and then answers the messages
// of its class: what it paints with the visual styles and what it returns. Every message a handler
// does not keep goes to the control's previous window method.

#include "platform/uxtheme/UxThemeApi.h"
#include "themes/ThemeMessages.h"
#include "themes/ThemeSrv.h"
#include "themes/WindowProcList.h"

class QWidget;

namespace themes {

class TThemeManager;

/// Runs the handler of a class for one message of a control (the class stubs call it through the
/// main manager).
void HandleControlMessage(TThemeManager& manager, ControlKind kind, QWidget* control, TMessage& message);

/// Paints the parent's background into a device context of the control: the parent erases its
/// background as if dc were its own, moved to where the control lies on it.
void PaintParentInto(QWidget* control, uxtheme::HDC dc);
/// The parent's background behind the control: painted into dc when the parent is double-buffered,
/// else drawn by the visual styles (within rect when given).
void ParentBackground(QWidget* control, uxtheme::HDC dc, const ElementDetails* details,
                      bool onlyIfTransparent, const uxtheme::RECT* rect = nullptr);
/// Tab, the arrow keys and Alt make the form show its focus or accelerator cues.
void ShowKeyboardCues(QWidget* control, unsigned key);
void PaintGroupBox(QWidget* box, uxtheme::HDC dc);
void PaintPanel(QWidget* panel, uxtheme::HDC dc);
/// The framework's 3-D frame: width nested frames, top and left in one colour, bottom and right
/// in the other; rect is left shrunk by width.
void Frame3D(uxtheme::HDC dc, uxtheme::RECT& rect, const QColor& topColor, const QColor& bottomColor,
             int width);

}  // namespace themes
