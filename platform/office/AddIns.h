#pragma once
// COM add-ins as Office hosts see them: the interface by which a host connects an add-in
// (`IDTExtensibility2`, called with result codes, letting no exception out), and the host's
// list of its add-ins (`COMAddIns` of `COMAddIn` entries, typed members that raise ComError).
//
// A host creates an add-in object by its ProgID through the registry (CreateOleObject<
// IDTExtensibility2>(progID)), then calls OnConnection, OnAddInsUpdate, OnStartupComplete
// (only for a connection made during its own start-up), OnBeginShutdown and OnDisconnection.
// AddInHost.h does that for a host; COMAddInsImpl.h offers the list.

#include <string>
#include <vector>

#include "platform/com/Dispatch.h"
#include "platform/com/Unknown.h"

namespace office {

/// How a connection was made (`OnConnection`'s ConnectMode).
enum ext_ConnectMode : int {
    ext_cm_AfterStartup = 0,  ///< loaded by the user while the host runs
    ext_cm_Startup = 1,       ///< loaded during the host's start-up
    ext_cm_External = 2,      ///< loaded by another program
    ext_cm_CommandLine = 3,   ///< loaded because of the host's command line
};

/// Why an add-in is disconnected (`OnDisconnection`'s RemoveMode).
enum ext_DisconnectMode : int {
    ext_dm_HostShutdown = 0,  ///< the host shuts down (it called OnBeginShutdown before)
    ext_dm_UserClosed = 1,    ///< the user unloaded the add-in while the host runs
};

/// The `custom` array of the connection calls: host-specific values, usually empty.
using SafeArray = std::vector<Variant>;

/// The connection interface every COM add-in implements.
struct IDTExtensibility2 : IDispatch {
    static constexpr IID iid = MakeGuid("{B65AD801-ABAF-11D0-BB8B-00A0C90F2744}");
    using Base = IDispatch;
    /// `Application` is the host's application object, `AddInInst` its COMAddIn entry
    /// for this add-in (either may be null).
    virtual HRESULT OnConnection(IDispatch* Application, int ConnectMode, IDispatch* AddInInst,
                                 SafeArray* custom) = 0;
    virtual HRESULT OnDisconnection(int RemoveMode, SafeArray* custom) = 0;
    virtual HRESULT OnAddInsUpdate(SafeArray* custom) = 0;
    virtual HRESULT OnStartupComplete(SafeArray* custom) = 0;
    virtual HRESULT OnBeginShutdown(SafeArray* custom) = 0;
};

/// One entry of a host's add-in list.
struct COMAddIn : IDispatch {
    static constexpr IID iid = MakeGuid("{000C033A-0000-0000-C000-000000000046}");
    using Base = IDispatch;
    virtual std::string Description() = 0;
    virtual std::string ProgID() = 0;
    /// The add-in's class identifier in braced form.
    virtual std::string Guid() = 0;
    /// Whether the add-in is connected now.
    virtual bool Connect() = 0;
    virtual void SetConnect(bool connect) = 0;
    /// The object an add-in exposes to other programs through the list (usually itself).
    virtual ComPtr<IDispatch> Object() = 0;
    virtual void SetObject(const ComPtr<IDispatch>& object) = 0;
};

/// A host's add-in list. Indexes are 1-based.
struct COMAddIns : IDispatch {
    static constexpr IID iid = MakeGuid("{6A1C0310-7E3B-4C55-9A0E-0B4D2F6E1310}");
    using Base = IDispatch;
    virtual int Count() = 0;
    virtual ComPtr<COMAddIn> Item(int index) = 0;
};

}  // namespace office
