#include "platform/host/AddInManager.h"

#include "platform/com/ClassRegistry.h"
#include "platform/com/ComError.h"
#include "platform/office/COMAddInsImpl.h"

namespace host {

AddInManager::AddInManager(ComPtr<office::OutlookApplication> application)
    : application_(std::move(application))
{
}

AddInManager::~AddInManager()
{
    ShutDown();
}

void AddInManager::StartUp()
{
    for (const office::RegisteredAddIn& addIn : office::RegisteredAddIns(office::OfficeAddInsKey(kHostName)))
        if (addIn.LoadsAtStartup()) Connect(addIn);
    for (const auto& connection : connections_)
        if (const HRESULT hr = connection->AddInsUpdate(); FAILED(hr))
            Report(connection->ProgID(), "OnAddInsUpdate", hr);
    for (const auto& connection : connections_)
        if (const HRESULT hr = connection->StartupComplete(); FAILED(hr))
            Report(connection->ProgID(), "OnStartupComplete", hr);
}

void AddInManager::Connect(const office::RegisteredAddIn& addIn)
{
    try {
        CLSID clsid{};
        std::string guid;
        if (SUCCEEDED(CLSIDFromProgID(addIn.ProgID, &clsid))) guid = clsid.ToString();
        const auto list = application_->COMAddIns().As<office::ICOMAddInsHost>();
        const ComPtr<office::COMAddIn> entry =
            list ? list->Add(addIn.ProgID, addIn.Description, guid) : nullptr;
        auto connection = std::make_unique<office::AddInConnection>(addIn.ProgID, application_, entry);
        if (const HRESULT hr = connection->Connect(office::ext_cm_Startup); FAILED(hr)) {
            Report(addIn.ProgID, "OnConnection", hr);
            return;
        }
        connections_.push_back(std::move(connection));
    } catch (const std::exception& e) {
        problems_.push_back("The add-in \"" + addIn.ProgID + "\" could not be loaded: " + e.what());
    }
}

void AddInManager::ShutDown()
{
    for (const auto& connection : connections_)
        if (const HRESULT hr = connection->BeginShutdown(); FAILED(hr))
            Report(connection->ProgID(), "OnBeginShutdown", hr);
    for (const auto& connection : connections_)
        if (const HRESULT hr = connection->Disconnect(office::ext_dm_HostShutdown); FAILED(hr))
            Report(connection->ProgID(), "OnDisconnection", hr);
    connections_.clear();
}

void AddInManager::Report(const std::string& progID, const char* what, HRESULT hr)
{
    const auto info = GetErrorInfo();
    const std::string reason = info && !info->description.empty() ? info->description : HResultMessage(hr);
    problems_.push_back("The add-in \"" + progID + "\" failed in " + what + ": " + reason);
}

}  // namespace host
