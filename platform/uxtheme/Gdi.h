#pragma once
// Device contexts and the few GDI calls made on them. A device context wraps the QPainter that the
// drawing goes to and names the window it belongs to (whose palette, font and style apply). GDI's
// state (selected font, text colour, background mode, clipping, window origin) is the painter's.

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QRect>
#include <QString>

#include "platform/uxtheme/UxThemeApi.h"

class QWidget;

namespace uxtheme {

struct DeviceContext {
    QPainter* Painter = nullptr;
    /// The window whose surface this is; none for a bare painter.
    QWidget* Window = nullptr;
};

/// A device context on a widget for the length of a scope: BeginPaint / GetWindowDC and their
/// release. Only valid inside the widget's paint event.
class WidgetDC {
public:
    explicit WidgetDC(QWidget* widget);
    WidgetDC(const WidgetDC&) = delete;
    WidgetDC& operator=(const WidgetDC&) = delete;

    HDC get() { return &dc_; }
    QPainter& painter() { return painter_; }

private:
    QPainter painter_;
    DeviceContext dc_;
};

// DrawText format flags.
inline constexpr UINT DT_LEFT = 0x0;
inline constexpr UINT DT_CENTER = 0x1;
inline constexpr UINT DT_RIGHT = 0x2;
inline constexpr UINT DT_VCENTER = 0x4;
inline constexpr UINT DT_BOTTOM = 0x8;
inline constexpr UINT DT_WORDBREAK = 0x10;
inline constexpr UINT DT_SINGLELINE = 0x20;
inline constexpr UINT DT_EXPANDTABS = 0x40;
inline constexpr UINT DT_NOCLIP = 0x100;
inline constexpr UINT DT_CALCRECT = 0x400;
inline constexpr UINT DT_NOPREFIX = 0x800;
inline constexpr UINT DT_RTLREADING = 0x20000;
inline constexpr UINT DT_HIDEPREFIX = 0x100000;

// System colour indexes (GetSysColor).
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;

// System metrics (GetSystemMetrics).
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;

/// RECT (right and bottom exclusive) to QRect and back.
QRect ToQRect(const RECT& rect);
RECT ToRECT(const QRect& rect);

/// The system colour of an index, from the application's palette; black for an unknown index.
QColor GetSysColor(int index);
int GetSystemMetrics(int index);

/// The Qt text flags for a DrawText format.
int QtTextFlags(UINT format);

/// DrawText: draws text in rect with the selected font and text colour; with DT_CALCRECT it only
/// measures, setting rect's right and bottom. Returns the height of the text.
int DrawText(HDC dc, const QString& text, RECT& rect, UINT format);

void FillRect(HDC dc, const RECT& rect, const QBrush& brush);
void DrawFocusRect(HDC dc, const RECT& rect);

/// Clipping: leave out a rectangle, narrow to one, or remove all clipping (SelectClipRgn none).
void ExcludeClipRect(HDC dc, const RECT& rect);
void IntersectClipRect(HDC dc, const RECT& rect);
void RemoveClipping(HDC dc);

/// The window origin: the logical point that maps to the surface's top-left corner.
QPoint GetWindowOrg(HDC dc);
void SetWindowOrg(HDC dc, QPoint origin);

}  // namespace uxtheme
