// The recording stand-in of the visual-styles library (see RecordingUxTheme.h). Built twice: once
// complete, once without DrawThemeEdge (RECORDING_WITHOUT_EDGE), as a library that lacks an entry.

#include "tests/themes/support/RecordingUxTheme.h"

#include <algorithm>
#include <map>
#include <memory>

#define RECORDING_ENTRY extern "C" __attribute__((visibility("default")))

using namespace uxtheme;
using recording::Call;

namespace {

recording::State g_state;

// The open handles; those never closed are freed when the library is unloaded.
struct OpenHandles : std::map<ThemeData*, std::u16string> {
    ~OpenHandles()
    {
        for (const auto& [theme, name] : *this) delete reinterpret_cast<char*>(theme);
    }
} g_open;

std::u16string ClassOf(HTHEME theme)
{
    const auto it = g_open.find(theme);
    return it == g_open.end() ? std::u16string() : it->second;
}

Call MakeCall(const char* function, HTHEME theme, int part, int state)
{
    Call call;
    call.Function = function;
    call.Class = ClassOf(theme);
    call.Part = part;
    call.State = state;
    return call;
}

HRESULT Known(HTHEME theme)
{
    return g_open.count(theme) ? S_OK : E_HANDLE;
}

}  // namespace

RECORDING_ENTRY recording::State* RecordingUxThemeState()
{
    return &g_state;
}

RECORDING_ENTRY HTHEME OpenThemeData(HWND window, LPCWSTR classList)
{
    const std::u16string name(classList);
    ++g_state.OpenCount;
    Call call = MakeCall("OpenThemeData", nullptr, 0, 0);
    call.Class = name;
    call.Window = window;
    g_state.Calls.push_back(call);
    const auto& failing = g_state.FailingClasses;
    if (std::find(failing.begin(), failing.end(), name) != failing.end()) return nullptr;
    auto* theme = reinterpret_cast<ThemeData*>(new char(0));
    g_open.emplace(theme, name);
    return theme;
}

RECORDING_ENTRY HRESULT CloseThemeData(HTHEME theme)
{
    ++g_state.CloseCount;
    g_state.Calls.push_back(MakeCall("CloseThemeData", theme, 0, 0));
    const auto it = g_open.find(theme);
    if (it == g_open.end()) return E_HANDLE;
    delete reinterpret_cast<char*>(it->first);
    g_open.erase(it);
    return S_OK;
}

RECORDING_ENTRY HRESULT DrawThemeBackground(HTHEME theme, HDC, int part, int state, const RECT* rect,
                                            const RECT* clip)
{
    Call call = MakeCall("DrawThemeBackground", theme, part, state);
    if (rect) call.Rect = *rect;
    call.HasClip = clip != nullptr;
    if (clip) call.Clip = *clip;
    g_state.Calls.push_back(call);
    return Known(theme);
}

RECORDING_ENTRY HRESULT DrawThemeText(HTHEME theme, HDC, int part, int state, LPCWSTR text, int length,
                                      DWORD flags, DWORD, const RECT* rect)
{
    Call call = MakeCall("DrawThemeText", theme, part, state);
    call.Text = length < 0 ? std::u16string(text) : std::u16string(text, static_cast<std::size_t>(length));
    call.Flags = flags;
    if (rect) call.Rect = *rect;
    g_state.Calls.push_back(call);
    return Known(theme);
}

RECORDING_ENTRY HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC, int part, int state,
                                                      const RECT* bounds, RECT* content)
{
    Call call = MakeCall("GetThemeBackgroundContentRect", theme, part, state);
    call.Rect = *bounds;
    g_state.Calls.push_back(call);
    *content = RECT{bounds->left + 3, bounds->top + 3, bounds->right - 3, bounds->bottom - 3};
    return Known(theme);
}

#ifndef RECORDING_WITHOUT_EDGE
RECORDING_ENTRY HRESULT DrawThemeEdge(HTHEME theme, HDC, int part, int state, const RECT* rect, UINT edge,
                                      UINT flags, RECT*)
{
    Call call = MakeCall("DrawThemeEdge", theme, part, state);
    call.Rect = *rect;
    call.Edge = edge;
    call.Flags = flags;
    g_state.Calls.push_back(call);
    return Known(theme);
}
#endif

RECORDING_ENTRY BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state)
{
    g_state.Calls.push_back(MakeCall("IsThemeBackgroundPartiallyTransparent", theme, part, state));
    return g_state.PartiallyTransparent;
}

RECORDING_ENTRY BOOL IsThemeActive()
{
    return g_state.ThemeActive;
}

RECORDING_ENTRY BOOL IsAppThemed()
{
    return g_state.AppThemed;
}

RECORDING_ENTRY HRESULT EnableThemeDialogTexture(HWND window, DWORD flags)
{
    Call call = MakeCall("EnableThemeDialogTexture", nullptr, 0, 0);
    call.Window = window;
    call.Flags = flags;
    g_state.Calls.push_back(call);
    return S_OK;
}

RECORDING_ENTRY DWORD GetThemeAppProperties()
{
    return g_state.AppProperties;
}

RECORDING_ENTRY void SetThemeAppProperties(DWORD flags)
{
    Call call = MakeCall("SetThemeAppProperties", nullptr, 0, 0);
    call.Flags = flags;
    g_state.Calls.push_back(call);
    g_state.AppProperties = flags;
}

RECORDING_ENTRY HRESULT DrawThemeParentBackground(HWND window, HDC, const RECT* rect)
{
    Call call = MakeCall("DrawThemeParentBackground", nullptr, 0, 0);
    call.Window = window;
    call.HasClip = rect != nullptr;
    if (rect) call.Rect = *rect;
    g_state.Calls.push_back(call);
    return S_OK;
}
