#pragma once
// The application objects of the Office hosts as add-ins see them. A host passes its
// application object to `IDTExtensibility2::OnConnection` as an IDispatch; an add-in finds
// out which host it runs in by asking that object for the application interface of each host
// (the identifiers below are the hosts' published ones) and then uses the members here.
//
// Every host's interface extends `IOfficeApplication` (the add-in list, the host's command
// bars, quitting). Outlook's adds its windows: explorers and inspectors each carry command
// bars of their own. Word's adds its window-activation event. The members are typed and
// raise ComError on failure.
//
// OutlookHost.h offers an implementation of Outlook's application object for a host.

#include <cstdint>

#include "platform/com/Dispatch.h"
#include "platform/office/AddIns.h"
#include "platform/office/CommandBars.h"

namespace office {

/// What every Office host's application object offers add-ins.
struct IOfficeApplication : IDispatch {
    static constexpr IID iid = MakeGuid("{6A1C0320-7E3B-4C55-9A0E-0B4D2F6E1320}");
    using Base = IDispatch;
    /// The host's add-in list.
    virtual ComPtr<office::COMAddIns> COMAddIns() = 0;
    /// The command bars of the application; raises ComError for a host whose command bars
    /// belong to its windows (Outlook).
    virtual ComPtr<_CommandBars> CommandBars() = 0;
    /// Ends the host (an instance started for an add-in's uninstallation, for example).
    virtual void Quit() = 0;
};

/// A window of a host that carries command bars of its own.
struct IHostWindow : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0321-7E3B-4C55-9A0E-0B4D2F6E1321}");
    using Base = IUnknown;
    virtual ComPtr<_CommandBars> CommandBars() = 0;
};

/// Open windows of one kind. Indexes are 1-based.
struct IHostWindows : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0322-7E3B-4C55-9A0E-0B4D2F6E1322}");
    using Base = IUnknown;
    virtual int Count() = 0;
    virtual ComPtr<IHostWindow> Item(int index) = 0;
};

/// Outlook's `_Application`. Explorers show folders, inspectors show single items; the
/// active window is the one the user works in (an explorer or an inspector).
struct OutlookApplication : IOfficeApplication {
    static constexpr IID iid = MakeGuid("{00063001-0000-0000-C000-000000000046}");
    using Base = IOfficeApplication;
    /// Outlook's `Explorers`.
    virtual ComPtr<IHostWindows> ExplorerWindows() = 0;
    /// Outlook's `Inspectors`.
    virtual ComPtr<IHostWindows> InspectorWindows() = 0;
    /// Outlook's `ActiveWindow`; empty when no window is open.
    virtual ComPtr<IHostWindow> ActiveWindow() = 0;
    /// Outlook's `ActiveExplorer`; empty when no explorer is open.
    virtual ComPtr<IHostWindow> ActiveExplorerWindow() = 0;
};

/// Sink of Word's application events that add-ins use.
struct WordApplicationEvents : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0323-7E3B-4C55-9A0E-0B4D2F6E1323}");
    using Base = IUnknown;
    /// A document window became the active one.
    virtual void WindowActivate() = 0;
};

/// Word's `_Application`.
struct WordApplication : IOfficeApplication {
    static constexpr IID iid = MakeGuid("{00020970-0000-0000-C000-000000000046}");
    using Base = IOfficeApplication;
    virtual std::uint32_t AdviseEvents(const ComPtr<WordApplicationEvents>& sink) = 0;
    virtual void UnadviseEvents(std::uint32_t cookie) = 0;
};

/// Excel's `_Application`.
struct ExcelApplication : IOfficeApplication {
    static constexpr IID iid = MakeGuid("{000208D5-0000-0000-C000-000000000046}");
    using Base = IOfficeApplication;
};

/// Access's `_Application`.
struct AccessApplication : IOfficeApplication {
    static constexpr IID iid = MakeGuid("{68CCE6C0-6129-101B-AF4E-00AA003F0F07}");
    using Base = IOfficeApplication;
};

/// MS Project's `_MSProject`.
struct MSProjectApplication : IOfficeApplication {
    static constexpr IID iid = MakeGuid("{00020AFF-0000-0000-C000-000000000046}");
    using Base = IOfficeApplication;
};

/// PowerPoint's `_Application`.
struct PowerPointApplication : IOfficeApplication {
    static constexpr IID iid = MakeGuid("{91493442-5A91-11CF-8700-00AA0060263B}");
    using Base = IOfficeApplication;
};

/// FrontPage's `_Application`.
struct FrontPageApplication : IOfficeApplication {
    static constexpr IID iid = MakeGuid("{04DF1014-7007-11D1-83BC-006097ABE675}");
    using Base = IOfficeApplication;
};

/// MapPoint's `_Application`.
struct MapPointApplication : IOfficeApplication {
    static constexpr IID iid = MakeGuid("{D6D389CE-1781-47A0-8984-4349687F65D6}");
    using Base = IOfficeApplication;
};

/// Visio's `IVApplication`.
struct VisioApplication : IOfficeApplication {
    static constexpr IID iid = MakeGuid("{000D0700-0000-0000-C000-000000000046}");
    using Base = IOfficeApplication;
};

}  // namespace office
