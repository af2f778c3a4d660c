#pragma once
// The theme services: one object per process that holds a binding of the visual-styles library,
// knows whether styles are in use for the process and its controls, keeps one theme handle per
// element class, maps the detail values of each control family to (part, state) pairs, and wraps
// the drawing calls of the theme manager's handlers.
//
// It watches the application's window (the QApplication object): a theme change sent there
// (WM_THEMECHANGED) re-reads the style state and closes the cached handles, which are opened again
// on demand; the window's destruction ends the watching.

#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

#include "platform/uxtheme/UxThemeApi.h"
#include "themes/UxTheme.h"

class QWidget;

namespace themes {

enum class ThemeElement : std::uint8_t {
    teButton,
    teClock,
    teComboBox,
    teEdit,
    teExplorerBar,
    teHeader,
    teListView,
    teMenu,
    tePage,
    teProgress,
    teRebar,
    teScrollBar,
    teSpin,
    teStartPanel,
    teStatus,
    teTab,
    teTaskBand,
    teTaskBar,
    teToolBar,
    teToolTip,
    teTrackBar,
    teTrayNotify,
    teTreeview,
    teWindow,
};
inline constexpr std::size_t ThemeElementCount = 24;

/// The class names passed to OpenThemeData, indexed by ThemeElement.
extern const std::array<const char16_t*, ThemeElementCount> ThemeElementClassNames;

struct ElementDetails {
    ThemeElement Element = ThemeElement::teButton;
    int Part = 0;
    int State = 0;
    friend bool operator==(const ElementDetails&, const ElementDetails&) = default;
};

// Detail mapping, one per control family.
ElementDetails ButtonDetails(std::uint8_t detail);
ElementDetails EditDetails(std::uint8_t detail);
ElementDetails RebarDetails(std::uint8_t detail);
ElementDetails StatusDetails(std::uint8_t detail);
ElementDetails TabDetails(std::uint8_t detail);
ElementDetails ToolbarDetails(std::uint8_t detail);
ElementDetails TrackbarDetails(std::uint8_t detail);

class TThemeServices {
public:
    /// Watches window (the application's window; none is allowed) and binds the library.
    explicit TThemeServices(QObject* window);
    ~TThemeServices();
    TThemeServices(const TThemeServices&) = delete;
    TThemeServices& operator=(const TThemeServices&) = delete;

    bool LibraryAvailable() const { return libraryAvailable_; }
    bool StylesInUse() const { return stylesInUse_; }
    bool ControlsStyled() const { return controlsStyled_; }
    bool StylesEnabled() const { return libraryAvailable_ && stylesInUse_ && controlsStyled_; }

    QObject* Window() const { return window_; }
    /// The window's messages still pass through the services.
    bool WatchingWindow() const { return thunk_ != nullptr; }

    /// The cached theme handle of an element, opened on first use while styles are in use.
    uxtheme::HTHEME ThemeHandle(ThemeElement element);
    void UpdateStyleState();
    void CloseThemeHandles();

    uxtheme::HRESULT DrawElementBackground(uxtheme::HDC dc, const ElementDetails& details,
                                           const uxtheme::RECT& rect, const uxtheme::RECT* clip);
    uxtheme::HRESULT DrawElementText(uxtheme::HDC dc, const ElementDetails& details, const QString& text,
                                     const uxtheme::RECT& rect, uxtheme::DWORD flags, uxtheme::DWORD flags2);
    uxtheme::HRESULT DrawElementEdge(uxtheme::HDC dc, const ElementDetails& details,
                                     const uxtheme::RECT& rect, uxtheme::UINT edge, uxtheme::UINT flags,
                                     uxtheme::RECT* content);
    uxtheme::RECT ElementContentRect(uxtheme::HDC dc, const ElementDetails& details,
                                     const uxtheme::RECT& bounds);
    /// Paints the parent's background behind window into dc (rect none: the whole window); with
    /// onlyIfTransparent and details, only when that part lets the background show through.
    uxtheme::HRESULT DrawParentBackground(QWidget* window, uxtheme::HDC dc, const ElementDetails* details,
                                          bool onlyIfTransparent, const uxtheme::RECT* rect);
    /// Draws the styled edit-box frame over a control's sunken edge, in the focused state while the
    /// control has the focus.
    void PaintClientEdge(QWidget* control, bool fillScrollCorner);

private:
    class WindowThunk;
    void StopWatching();

    bool libraryAvailable_ = false;
    bool stylesInUse_ = false;
    bool controlsStyled_ = false;
    QPointer<QObject> window_;
    bool hadWindow_ = false;
    std::unique_ptr<WindowThunk> thunk_;
    std::array<uxtheme::HTHEME, ThemeElementCount> themeHandles_{};
    ThemeLibraryBinding binding_;
};

/// The process's services, created at the first call with the application's window.
TThemeServices& GlobalThemeServices();
/// Frees the process's services (finalisation; the next call of GlobalThemeServices makes new ones).
void FreeGlobalThemeServices();
/// LibraryAvailable, StylesInUse and ControlsStyled of the process's services.
bool StylesEnabled();

}  // namespace themes
