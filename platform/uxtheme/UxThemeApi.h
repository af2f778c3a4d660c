#pragma once
// The published interface of the visual-styles library (libuxtheme.so): the types its entry points
// take, the constants callers pass, and one function-pointer type per entry point. Callers load the
// library by name and look the entry points up with dlsym; nothing here links against it.
//
// A window handle is the QObject that stands for the window (a widget, or the application object
// for the application's window); a device context is a DeviceContext (platform/uxtheme/Gdi.h) that
// wraps the QPainter the drawing goes to. Texts are UTF-16, as the system's wide strings are.

#include <QEvent>

#include <cstdint>

class QObject;

namespace uxtheme {

struct DeviceContext;
struct ThemeData;

using BOOL = int;
using DWORD = std::uint32_t;
using UINT = unsigned;
using HRESULT = std::int32_t;
using WCHAR = char16_t;
using LPCWSTR = const WCHAR*;
using HWND = QObject*;
using HDC = DeviceContext*;
using HTHEME = ThemeData*;

struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const RECT&, const RECT&) = default;
};

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT E_HANDLE = static_cast<HRESULT>(0x80070006u);
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);

// Theme properties of the process (GetThemeAppProperties / SetThemeAppProperties).
inline constexpr DWORD STAP_ALLOW_NONCLIENT = 1;
inline constexpr DWORD STAP_ALLOW_CONTROLS = 2;
inline constexpr DWORD STAP_ALLOW_WEBCONTENT = 4;

// EnableThemeDialogTexture flags.
inline constexpr DWORD ETDT_DISABLE = 1;
inline constexpr DWORD ETDT_ENABLE = 2;
inline constexpr DWORD ETDT_USETABTEXTURE = 4;
inline constexpr DWORD ETDT_ENABLETAB = ETDT_ENABLE | ETDT_USETABTEXTURE;

// DrawThemeEdge: edge kinds and the sides to draw.
inline constexpr UINT BDR_RAISEDOUTER = 0x1;
inline constexpr UINT BDR_SUNKENOUTER = 0x2;
inline constexpr UINT BDR_RAISEDINNER = 0x4;
inline constexpr UINT BDR_SUNKENINNER = 0x8;
inline constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr UINT BF_LEFT = 0x1;
inline constexpr UINT BF_TOP = 0x2;
inline constexpr UINT BF_RIGHT = 0x4;
inline constexpr UINT BF_BOTTOM = 0x8;
inline constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr UINT BF_ADJUST = 0x2000;

/// The message the library sends to the application's window and to every top-level window when
/// the desktop's visual style changes; it arrives as a Qt event of this type.
inline constexpr unsigned WM_THEMECHANGED = 0x031A;
inline constexpr QEvent::Type ThemeChangedEvent = static_cast<QEvent::Type>(QEvent::User + WM_THEMECHANGED);

/// The file name under which callers bind the library.
inline constexpr const char* LibraryFileName = "libuxtheme.so";

using OpenThemeDataFn = HTHEME (*)(HWND window, LPCWSTR classList);
using CloseThemeDataFn = HRESULT (*)(HTHEME theme);
using DrawThemeBackgroundFn = HRESULT (*)(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                          const RECT* clip);
using DrawThemeTextFn = HRESULT (*)(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length,
                                    DWORD flags, DWORD flags2, const RECT* rect);
using GetThemeBackgroundContentRectFn = HRESULT (*)(HTHEME theme, HDC dc, int part, int state,
                                                    const RECT* bounds, RECT* content);
using DrawThemeEdgeFn = HRESULT (*)(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge,
                                    UINT flags, RECT* content);
using IsThemeBackgroundPartiallyTransparentFn = BOOL (*)(HTHEME theme, int part, int state);
using IsThemeActiveFn = BOOL (*)();
using IsAppThemedFn = BOOL (*)();
using EnableThemeDialogTextureFn = HRESULT (*)(HWND window, DWORD flags);
using GetThemeAppPropertiesFn = DWORD (*)();
using SetThemeAppPropertiesFn = void (*)(DWORD flags);
using DrawThemeParentBackgroundFn = HRESULT (*)(HWND window, HDC dc, const RECT* rect);

}  // namespace uxtheme
