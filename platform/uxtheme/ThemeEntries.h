#pragma once
// The entry points the library exports, for the library itself and its own tests. Everybody else
// binds them by name at run time (see UxThemeApi.h).

#include "platform/uxtheme/UxThemeApi.h"

#define UXTHEME_ENTRY extern "C" __attribute__((visibility("default")))

using uxtheme::BOOL;
using uxtheme::DWORD;
using uxtheme::HDC;
using uxtheme::HRESULT;
using uxtheme::HTHEME;
using uxtheme::HWND;
using uxtheme::LPCWSTR;
using uxtheme::RECT;
using uxtheme::UINT;

UXTHEME_ENTRY HTHEME OpenThemeData(HWND window, LPCWSTR classList);
UXTHEME_ENTRY HRESULT CloseThemeData(HTHEME theme);
UXTHEME_ENTRY HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                          const RECT* clip);
UXTHEME_ENTRY HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length,
                                    DWORD flags, DWORD flags2, const RECT* rect);
UXTHEME_ENTRY HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state,
                                                    const RECT* bounds, RECT* content);
UXTHEME_ENTRY HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge,
                                    UINT flags, RECT* content);
UXTHEME_ENTRY BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
UXTHEME_ENTRY BOOL IsThemeActive();
UXTHEME_ENTRY BOOL IsAppThemed();
UXTHEME_ENTRY HRESULT EnableThemeDialogTexture(HWND window, DWORD flags);
UXTHEME_ENTRY DWORD GetThemeAppProperties();
UXTHEME_ENTRY void SetThemeAppProperties(DWORD flags);
UXTHEME_ENTRY HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect);
