#pragma once
// The desktop's visual style as the library sees it, and what the process asked of it.
//
// Visual styles are active when the process runs a Qt application whose widget style is not the
// classic "Windows" style: the classic style is the look of controls without visual styles, every
// other style (Fusion, the desktop's own) is a visual style. A change of the application's style
// is a theme change: the library then sends WM_THEMECHANGED to the application object and to every
// top-level window, as the system broadcasts it when the user picks another theme.

#include <QRect>

#include "platform/uxtheme/UxThemeApi.h"

class QPainter;
class QWidget;

namespace uxtheme::lib {

bool ThemeActive();
bool AppThemed();

DWORD AppProperties();
void SetAppProperties(DWORD flags);

/// Starts following the application's style (once per application object, on its thread).
void WatchStyleChanges();

/// The dialog-texture flags a window was given (EnableThemeDialogTexture).
void SetDialogTexture(QObject* window, DWORD flags);
DWORD DialogTexture(const QObject* window);

/// Paints what lies behind area of child (in child's coordinates): its ancestors, from the
/// nearest opaque one down to its parent, without their other children.
HRESULT PaintParentBackground(QWidget* child, QPainter& painter, const QRect& area);

}  // namespace uxtheme::lib
