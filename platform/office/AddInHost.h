#pragma once
// What a host program does to run its COM add-ins: find those registered for it under its
// add-in key, create each by its ProgID through the registry, and call the add-in's
// `IDTExtensibility2` at the points of its own life.
//
// A host's start-up:     for each add-in to load: Connect(ext_cm_Startup);
//                        then for each: AddInsUpdate(), StartupComplete().
// A user loads one later: Connect(ext_cm_AfterStartup) (the add-in completes its start-up
//                        itself), then AddInsUpdate() for every connected add-in.
// A user unloads one:    Disconnect(ext_dm_UserClosed) (a removal from the list first takes
//                        the entry out of COMAddIns).
// The host's shutdown:   for each: BeginShutdown(); then for each: Disconnect(ext_dm_HostShutdown).

#include <string>
#include <vector>

#include "platform/office/AddIns.h"

namespace office {

/// `LoadBehavior` bits of an add-in key.
inline constexpr int kLoadBehaviorConnected = 1;
inline constexpr int kLoadBehaviorLoadAtStartup = 2;

/// One add-in registered for a host.
struct RegisteredAddIn {
    std::string ProgID;  ///< the name of its key
    std::string FriendlyName;
    std::string Description;
    int LoadBehavior = 0;

    /// Loaded when the host starts: both bits of LoadBehavior set (3).
    bool LoadsAtStartup() const
    {
        return (LoadBehavior & (kLoadBehaviorConnected | kLoadBehaviorLoadAtStartup)) ==
               (kLoadBehaviorConnected | kLoadBehaviorLoadAtStartup);
    }
};

/// The key under HKEY_CURRENT_USER that holds a host's add-in keys:
/// "\Software\Microsoft\Office\<hostName>\AddIns".
std::string OfficeAddInsKey(const std::string& hostName);

/// The add-ins registered under `addInsKey` (of HKEY_CURRENT_USER), in the order of their
/// keys; none when the key is missing. A missing or non-numeric LoadBehavior reads as 0.
std::vector<RegisteredAddIn> RegisteredAddIns(const std::string& addInsKey);

/// One add-in connected to a host. Every call returns the add-in's result code; a call
/// that would come out of order (a second Connect, anything before Connect or after
/// Disconnect) returns E_UNEXPECTED without reaching the add-in.
class AddInConnection {
public:
    /// Creates the add-in object of `progID` through the registry; raises ComError when it
    /// cannot be created. `entry` is the add-in's entry in the host's COMAddIns, or null.
    AddInConnection(const std::string& progID, ComPtr<IDispatch> application, ComPtr<COMAddIn> entry);
    /// A connection still made when it ends is closed as at a host shutdown
    /// (BeginShutdown, then Disconnect(ext_dm_HostShutdown)).
    ~AddInConnection();
    AddInConnection(const AddInConnection&) = delete;
    AddInConnection& operator=(const AddInConnection&) = delete;

    /// OnConnection; on success the entry reads as connected.
    HRESULT Connect(int connectMode);
    HRESULT AddInsUpdate();
    HRESULT StartupComplete();
    HRESULT BeginShutdown();
    /// OnDisconnection; afterwards the entry reads as not connected, offers no object, and
    /// the connection lets go of the add-in object (whatever the result).
    HRESULT Disconnect(int removeMode);

    const std::string& ProgID() const { return progID_; }
    bool Connected() const { return connected_; }
    /// The add-in object (empty after Disconnect).
    const ComPtr<IDTExtensibility2>& Object() const { return addIn_; }

private:
    std::string progID_;
    ComPtr<IDispatch> application_;
    ComPtr<COMAddIn> entry_;
    ComPtr<IDTExtensibility2> addIn_;
    SafeArray custom_;
    bool connected_ = false;
};

}  // namespace office
