// What a host program does to run its COM add-ins.

#include "platform/office/AddInHost.h"

#include "platform/com/ComRuntime.h"
#include "platform/runtime/Registry.h"

namespace office {

std::string OfficeAddInsKey(const std::string& hostName)
{
    return "\\Software\\Microsoft\\Office\\" + hostName + "\\AddIns";
}

std::vector<RegisteredAddIn> RegisteredAddIns(const std::string& addInsKey)
{
    std::vector<RegisteredAddIn> result;
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKeyReadOnly(addInsKey)) return result;
    const std::vector<std::string> names = reg.GetKeyNames();
    for (const auto& name : names) {
        if (!reg.OpenKeyReadOnly(addInsKey + "\\" + name)) continue;
        RegisteredAddIn addIn;
        addIn.ProgID = name;
        addIn.FriendlyName = reg.ReadString("FriendlyName");
        addIn.Description = reg.ReadString("Description");
        if (reg.GetDataType("LoadBehavior") == TRegDataType::rdInteger)
            addIn.LoadBehavior = reg.ReadInteger("LoadBehavior");
        result.push_back(std::move(addIn));
    }
    return result;
}

AddInConnection::AddInConnection(const std::string& progID, ComPtr<IDispatch> application,
                                 ComPtr<COMAddIn> entry)
    : progID_(progID),
      application_(std::move(application)),
      entry_(std::move(entry)),
      addIn_(CreateOleObject<IDTExtensibility2>(progID))
{
}

namespace {

/// The entry's connected state; a disconnected add-in's object is no longer offered through
/// it. A failing entry does not change the connection's outcome.
void MarkConnected(const ComPtr<COMAddIn>& entry, bool connected) noexcept
{
    if (!entry) return;
    try {
        entry->SetConnect(connected);
        if (!connected) entry->SetObject(nullptr);
    } catch (const std::exception&) {
    }
}

}  // namespace

AddInConnection::~AddInConnection()
{
    if (!connected_) return;
    BeginShutdown();
    Disconnect(ext_dm_HostShutdown);
}

HRESULT AddInConnection::Connect(int connectMode)
{
    if (connected_ || !addIn_) return E_UNEXPECTED;
    const HRESULT hr = addIn_->OnConnection(application_.Get(), connectMode, entry_.Get(), &custom_);
    if (SUCCEEDED(hr)) {
        connected_ = true;
        MarkConnected(entry_, true);
    }
    return hr;
}

HRESULT AddInConnection::AddInsUpdate()
{
    return connected_ ? addIn_->OnAddInsUpdate(&custom_) : E_UNEXPECTED;
}

HRESULT AddInConnection::StartupComplete()
{
    return connected_ ? addIn_->OnStartupComplete(&custom_) : E_UNEXPECTED;
}

HRESULT AddInConnection::BeginShutdown()
{
    return connected_ ? addIn_->OnBeginShutdown(&custom_) : E_UNEXPECTED;
}

HRESULT AddInConnection::Disconnect(int removeMode)
{
    if (!connected_) return E_UNEXPECTED;
    const HRESULT hr = addIn_->OnDisconnection(removeMode, &custom_);
    connected_ = false;
    MarkConnected(entry_, false);
    addIn_.Reset();
    return hr;
}

}  // namespace office
