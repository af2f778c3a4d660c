#include "themes/ThemeSrv.h"

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QVersionNumber>
#include <QWidget>

#include "platform/uxtheme/Gdi.h"
#include "themes/ApplicationWindow.h"
#include "themes/ControlClasses.h"

namespace themes {

using namespace uxtheme;

namespace {

// The common-controls library of this system is Qt's widget library; styled controls need its
// version 6 or later, as they need version 6 of the system's common controls.
int CommonControlsMajorVersion()
{
    return QVersionNumber::fromString(QLatin1String(qVersion())).majorVersion();
}

bool HasBothScrollBars(const QWidget* control)
{
    const auto* area = qobject_cast<const QAbstractScrollArea*>(control);
    return area && area->horizontalScrollBar()->isVisibleTo(area) &&
           area->verticalScrollBar()->isVisibleTo(area);
}

}  // namespace

/// Routes the watched window's messages through the services before the window's own handling.
class TThemeServices::WindowThunk final : public QObject {
public:
    WindowThunk(TThemeServices& services, QObject* window) : services_(services), window_(window)
    {
        window->installEventFilter(this);
        // WM_DESTROY: the window goes; its procedure needs no restoring any more.
        connect(window, &QObject::destroyed, this, [this] { services_.StopWatching(); });
    }

    ~WindowThunk() override
    {
        if (window_) window_->removeEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == uxtheme::ThemeChangedEvent) services_.UpdateStyleState();
        return false;
    }

private:
    TThemeServices& services_;
    QPointer<QObject> window_;
};

TThemeServices::TThemeServices(QObject* window) : window_(window), hadWindow_(window != nullptr)
{
    if (window) thunk_ = std::make_unique<WindowThunk>(*this, window);
    libraryAvailable_ = binding_.Available();
    UpdateStyleState();
}

TThemeServices::~TThemeServices()
{
    StopWatching();
    CloseThemeHandles();
}

void TThemeServices::StopWatching()
{
    thunk_.reset();
}

HTHEME TThemeServices::ThemeHandle(ThemeElement element)
{
    HTHEME& handle = themeHandles_[static_cast<std::size_t>(element)];
    if (stylesInUse_ && !handle)
        handle =
            ThemeEntries().OpenThemeData(window_, ThemeElementClassNames[static_cast<std::size_t>(element)]);
    return handle;
}

void TThemeServices::UpdateStyleState()
{
    if (stylesInUse_) CloseThemeHandles();
    stylesInUse_ = VisualStylesActive() && CommonControlsMajorVersion() >= 6;
    controlsStyled_ = stylesInUse_ && (ThemeEntries().GetThemeAppProperties() & STAP_ALLOW_CONTROLS) != 0;
}

void TThemeServices::CloseThemeHandles()
{
    // The handles of a window that is gone went with it.
    if (hadWindow_ && !window_) return;
    for (HTHEME& handle : themeHandles_) {
        if (handle && libraryAvailable_) ThemeEntries().CloseThemeData(handle);
        handle = nullptr;
    }
}

HRESULT TThemeServices::DrawElementBackground(HDC dc, const ElementDetails& details, const RECT& rect,
                                              const RECT* clip)
{
    if (!libraryAvailable_) return E_FAIL;
    return ThemeEntries().DrawThemeBackground(ThemeHandle(details.Element), dc, details.Part, details.State,
                                              &rect, clip);
}

HRESULT TThemeServices::DrawElementText(HDC dc, const ElementDetails& details, const QString& text,
                                        const RECT& rect, DWORD flags, DWORD flags2)
{
    if (!libraryAvailable_) return E_FAIL;
    return ThemeEntries().DrawThemeText(ThemeHandle(details.Element), dc, details.Part, details.State,
                                        reinterpret_cast<LPCWSTR>(text.utf16()),
                                        static_cast<int>(text.size()), flags, flags2, &rect);
}

HRESULT TThemeServices::DrawElementEdge(HDC dc, const ElementDetails& details, const RECT& rect, UINT edge,
                                        UINT flags, RECT* content)
{
    if (!libraryAvailable_) return E_FAIL;
    return ThemeEntries().DrawThemeEdge(ThemeHandle(details.Element), dc, details.Part, details.State, &rect,
                                        edge, flags, content);
}

RECT TThemeServices::ElementContentRect(HDC dc, const ElementDetails& details, const RECT& bounds)
{
    RECT content = bounds;
    if (libraryAvailable_) {
        ThemeEntries().GetThemeBackgroundContentRect(ThemeHandle(details.Element), dc, details.Part,
                                                     details.State, &bounds, &content);
    }
    return content;
}

HRESULT TThemeServices::DrawParentBackground(QWidget* window, HDC dc, const ElementDetails* details,
                                             bool onlyIfTransparent, const RECT* rect)
{
    if (!libraryAvailable_) return E_FAIL;
    bool draw = true;
    if (onlyIfTransparent && details) {
        draw = ThemeEntries().IsThemeBackgroundPartiallyTransparent(ThemeHandle(details->Element),
                                                                    details->Part, details->State) != 0;
    }
    return draw ? ThemeEntries().DrawThemeParentBackground(window, dc, rect) : 0;
}

void TThemeServices::PaintClientEdge(QWidget* control, bool fillScrollCorner)
{
    if (!HasClientEdge(control)) return;
    const RECT whole{0, 0, control->width(), control->height()};
    WidgetDC dc(control);
    if (fillScrollCorner && HasBothScrollBars(control)) {
        const RECT inner{whole.left + 2, whole.top + 2, whole.right - 2, whole.bottom - 2};
        const RECT corner{inner.right - GetSystemMetrics(SM_CXVSCROLL),
                          inner.bottom - GetSystemMetrics(SM_CYHSCROLL), inner.right, inner.bottom};
        FillRect(dc.get(), corner, GetSysColor(COLOR_BTNFACE));
    }
    // Only a frame two pixels wide stays paintable. The frame covers the one the control drew, so a
    // focused control gets the frame of the focused state: its focus stays visible.
    ExcludeClipRect(dc.get(), RECT{whole.left + 2, whole.top + 2, whole.right - 2, whole.bottom - 2});
    DrawElementBackground(dc.get(), EditDetails(control->hasFocus() ? 6 : 2), whole, nullptr);
}

namespace {

std::unique_ptr<TThemeServices> g_services;

// Finalisation of the unit: the services go first (giving their binding back), then any binding
// still outstanding. Defined after g_services, so it is destroyed before it.
struct UnitFinalization {
    ~UnitFinalization()
    {
        FreeGlobalThemeServices();
        ReleaseAllThemeBindings();
    }
} g_finalization;

}  // namespace

TThemeServices& GlobalThemeServices()
{
    if (!g_services) g_services = std::make_unique<TThemeServices>(ApplicationWindow());
    return *g_services;
}

void FreeGlobalThemeServices()
{
    g_services.reset();
}

bool StylesEnabled()
{
    return GlobalThemeServices().StylesEnabled();
}

}  // namespace themes
