#pragma once
// How a container (the mail client's options dialog) embeds a control that a server library
// offers as an object: the container gives the control a client site, through which the
// control reaches the container's own interfaces, and asks it to show its window inside a
// widget of the container. The control's window is a QWidget of the same process.

#include "platform/com/Unknown.h"

class QWidget;

namespace ui {

/// The container's side of one embedded control. It has no members of its own here: the
/// control asks it (QueryInterface) for the container's interfaces, such as the options
/// dialog's page site.
struct IOleClientSite : IUnknown {
    static constexpr IID iid = MakeGuid("{00000118-0000-0000-C000-000000000046}");
    using Base = IUnknown;
};

struct IOleObject : IUnknown {
    static constexpr IID iid = MakeGuid("{00000112-0000-0000-C000-000000000046}");
    using Base = IUnknown;
    /// Gives the control its site (nullptr takes it away again).
    virtual HRESULT SetClientSite(IOleClientSite* site) = 0;
    /// The site given; S_FALSE with nullptr when there is none.
    virtual HRESULT GetClientSite(IOleClientSite** site) = 0;
    /// Shows the control's window as a child of `parent`, filling it.
    virtual HRESULT DoVerbShow(QWidget* parent) = 0;
    /// The container lets go of the control: its window is destroyed; the object itself
    /// lives on while references to it exist.
    virtual HRESULT Close() = 0;
};

}  // namespace ui
