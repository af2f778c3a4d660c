// The exported entry points. Each checks its arguments, does its work through the library's
// units and lets no exception out: a failure is a result code (or a null handle, or FALSE).

#include "platform/uxtheme/ThemeEntries.h"

#include <QWidget>

#include <string_view>

#include "platform/uxtheme/Gdi.h"
#include "platform/uxtheme/PartPainter.h"
#include "platform/uxtheme/SystemTheme.h"
#include "platform/uxtheme/ThemeClasses.h"

using namespace uxtheme;
using namespace uxtheme::lib;

namespace {

// Wide strings from callers are read up to their terminator, but never further than this.
constexpr int kMaxTextLength = 1 << 20;

std::u16string_view TextOf(LPCWSTR text, int length)
{
    if (length >= 0) return std::u16string_view(text, static_cast<std::size_t>(qMin(length, kMaxTextLength)));
    int count = 0;
    while (count < kMaxTextLength && text[count] != 0) ++count;
    return std::u16string_view(text, static_cast<std::size_t>(count));
}

bool UsableDC(HDC dc)
{
    return dc && dc->Painter && dc->Painter->isActive();
}

// The window whose palette and style a drawing uses: the device context's, else the theme's.
const QWidget* DrawingWindow(const ThemeData& theme, HDC dc)
{
    if (dc && dc->Window) return dc->Window;
    return qobject_cast<const QWidget*>(theme.Window.data());
}

struct Resolved {
    const ThemeData* Theme = nullptr;
    PartId Id{ThemeClass::Button, 0, 1};
};

// The open theme and the part asked for; an error code when either is not there.
HRESULT Resolve(HTHEME handle, int part, int state, Resolved& resolved)
{
    resolved.Theme = LookUpTheme(handle);
    if (!resolved.Theme) return E_HANDLE;
    if (!HasPart(resolved.Theme->Class, part)) return E_INVALIDARG;
    resolved.Id = PartId{resolved.Theme->Class, part, NormalizedState(resolved.Theme->Class, part, state)};
    return S_OK;
}

template <class Fn>
auto Guarded(auto failure, Fn&& body) noexcept -> decltype(failure)
{
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

}  // namespace

HTHEME OpenThemeData(HWND window, LPCWSTR classList)
{
    return Guarded(static_cast<HTHEME>(nullptr), [&]() -> HTHEME {
        WatchStyleChanges();
        if (!classList || !AppThemed()) return nullptr;
        const std::optional<ThemeClass> themeClass = FindThemeClass(TextOf(classList, -1));
        return themeClass ? RegisterTheme(*themeClass, window) : nullptr;
    });
}

HRESULT CloseThemeData(HTHEME theme)
{
    return Guarded(E_FAIL, [&] { return ReleaseTheme(theme) ? S_OK : E_HANDLE; });
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip)
{
    return Guarded(E_FAIL, [&]() -> HRESULT {
        Resolved resolved;
        if (const HRESULT hr = Resolve(theme, part, state, resolved); hr != S_OK) return hr;
        if (!UsableDC(dc) || !rect) return E_INVALIDARG;
        QPainter& painter = *dc->Painter;
        painter.save();
        if (clip) painter.setClipRect(ToQRect(*clip), Qt::IntersectClip);
        DrawPart(painter, ContextFor(DrawingWindow(*resolved.Theme, dc)), resolved.Id, ToQRect(*rect));
        painter.restore();
        return S_OK;
    });
}

HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length, DWORD flags,
                      DWORD flags2, const RECT* rect)
{
    constexpr DWORD DTT_GRAYED = 0x1;
    return Guarded(E_FAIL, [&]() -> HRESULT {
        Resolved resolved;
        if (const HRESULT hr = Resolve(theme, part, state, resolved); hr != S_OK) return hr;
        if (!UsableDC(dc) || !rect || !text) return E_INVALIDARG;
        const std::u16string_view chars = TextOf(text, length);
        const PartContext context = ContextFor(DrawingWindow(*resolved.Theme, dc));
        QPainter& painter = *dc->Painter;
        painter.save();
        painter.setPen((flags2 & DTT_GRAYED) ? context.Palette.color(QPalette::Disabled, QPalette::WindowText)
                                             : PartTextColor(context, resolved.Id));
        RECT area = *rect;
        DrawText(dc, QString::fromUtf16(chars.data(), static_cast<qsizetype>(chars.size())), area,
                 flags & ~DT_CALCRECT);
        painter.restore();
        return S_OK;
    });
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                      RECT* content)
{
    return Guarded(E_FAIL, [&]() -> HRESULT {
        Resolved resolved;
        if (const HRESULT hr = Resolve(theme, part, state, resolved); hr != S_OK) return hr;
        if (!bounds || !content) return E_INVALIDARG;
        const PartContext context = ContextFor(DrawingWindow(*resolved.Theme, dc));
        *content = ToRECT(PartContentRect(context, resolved.Id, ToQRect(*bounds)));
        return S_OK;
    });
}

HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge, UINT flags,
                      RECT* content)
{
    return Guarded(E_FAIL, [&]() -> HRESULT {
        Resolved resolved;
        if (const HRESULT hr = Resolve(theme, part, state, resolved); hr != S_OK) return hr;
        if (!UsableDC(dc) || !rect) return E_INVALIDARG;
        QRect inside;
        const PartContext context = ContextFor(DrawingWindow(*resolved.Theme, dc));
        DrawEdge(*dc->Painter, context.Palette, ToQRect(*rect), edge, flags, &inside);
        if (content && (flags & BF_ADJUST)) *content = ToRECT(inside);
        return S_OK;
    });
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state)
{
    return Guarded(BOOL{0}, [&]() -> BOOL {
        Resolved resolved;
        if (Resolve(theme, part, state, resolved) != S_OK) return 0;
        return IsPartPartiallyTransparent(resolved.Id) ? 1 : 0;
    });
}

BOOL IsThemeActive()
{
    return Guarded(BOOL{0}, [] {
        WatchStyleChanges();
        return ThemeActive() ? 1 : 0;
    });
}

BOOL IsAppThemed()
{
    return Guarded(BOOL{0}, [] {
        WatchStyleChanges();
        return AppThemed() ? 1 : 0;
    });
}

HRESULT EnableThemeDialogTexture(HWND window, DWORD flags)
{
    return Guarded(E_FAIL, [&]() -> HRESULT {
        if (!window) return E_INVALIDARG;
        SetDialogTexture(window, flags);
        return S_OK;
    });
}

DWORD GetThemeAppProperties()
{
    return AppProperties();
}

void SetThemeAppProperties(DWORD flags)
{
    SetAppProperties(flags);
}

HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect)
{
    return Guarded(E_FAIL, [&]() -> HRESULT {
        auto* widget = qobject_cast<QWidget*>(window);
        if (!widget || !UsableDC(dc)) return E_INVALIDARG;
        const QRect area = rect ? ToQRect(*rect) : widget->rect();
        return PaintParentBackground(widget, *dc->Painter, area);
    });
}
