// TaxpAddIn: the add-in object's COM identity and its connection lifecycle.

#include "addin_framework/axpAddIn.h"

#include <fmt/format.h>

#include "addin_framework/axpCommandBars.h"
#include "addin_framework/axpErrors.h"
#include "addin_framework/axpEventSink.h"
#include "addin_framework/axpFactory.h"
#include "addin_framework/axpModule.h"
#include "platform/com/ComError.h"
#include "platform/com/ErrorInfo.h"

namespace {

using THostMaker = std::unique_ptr<THostApplication> (*)(const ComPtr<IDispatch>&);

template <class I>
std::unique_ptr<THostApplication> MakeWrapper(const ComPtr<IDispatch>& App)
{
    const auto application = App.As<I>();
    if (!application) return nullptr;
    if constexpr (std::is_same_v<I, office::OutlookApplication>)
        return std::make_unique<TOutlookApplication>(application);
    else if constexpr (std::is_same_v<I, office::WordApplication>)
        return std::make_unique<TWordApplication>(application);
    else
        return std::make_unique<THostApplication>(application);
}

struct THostDetection {
    std::uint8_t Host;
    THostMaker Make;
};

/// The order in which the host's application object is asked for each host's interface.
constexpr THostDetection HostDetection[] = {
    {hiWord, MakeWrapper<office::WordApplication>},
    {hiExcel, MakeWrapper<office::ExcelApplication>},
    {hiOutlook, MakeWrapper<office::OutlookApplication>},
    {hiAccess, MakeWrapper<office::AccessApplication>},
    {hiMSProject, MakeWrapper<office::MSProjectApplication>},
    {hiPowerPoint, MakeWrapper<office::PowerPointApplication>},
    {hiFrontPage, MakeWrapper<office::FrontPageApplication>},
    {hiMapPoint, MakeWrapper<office::MapPointApplication>},
    {hiVisio, MakeWrapper<office::VisioApplication>},
};

constexpr const char* MarkerUserClose = "UserClose";

bool HasMainWindowClass(std::uint8_t Host)
{
    return *HostTable.at(Host).MainWindowClass != '\0';
}

}  // namespace

TaxpAddIn::TaxpAddIn(TaxpFactory& Factory) : FFactory(Factory) {}

// Sinks the host still holds must not reach an object that is gone, nor keep their controls.
TaxpAddIn::~TaxpAddIn()
{
    ReleaseControlSinks();
}

void TaxpAddIn::ReleaseControlSinks() noexcept
{
    for (const auto& entry : ControlSinks) {
        entry.Sink->Detach();
        entry.Sink->Disconnect();
        entry.Sink->ReleaseControl();
    }
    ControlSinks.clear();
}

HRESULT TaxpAddIn::QueryInterface(const IID& riid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (riid == IUnknown::iid || riid == IDispatch::iid || riid == office::IDTExtensibility2::iid) {
        *object = static_cast<office::IDTExtensibility2*>(this);
        AddRef();
        return S_OK;
    }
    return QueryOwnInterface(riid, object) ? S_OK : E_NOINTERFACE;
}

std::uint32_t TaxpAddIn::AddRef()
{
    return ++FRefCount;
}

std::uint32_t TaxpAddIn::Release()
{
    const std::uint32_t left = --FRefCount;
    if (left == 0) delete this;  // the object ends with its last reference
    return left;
}

bool TaxpAddIn::QueryOwnInterface(const IID&, void**)
{
    return false;
}

HRESULT TaxpAddIn::GetTypeInfoCount(std::uint32_t* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT TaxpAddIn::GetIDsOfNames(const IID&, const std::string*, std::uint32_t, std::uint32_t, DISPID*)
{
    return DISP_E_UNKNOWNNAME;
}

HRESULT TaxpAddIn::Invoke(DISPID, const IID&, std::uint32_t, std::uint16_t, DISPPARAMS*, Variant*, EXCEPINFO*,
                          std::uint32_t*)
{
    return DISP_E_MEMBERNOTFOUND;
}

template <class F>
HRESULT TaxpAddIn::Guarded(F&& Body) noexcept
{
    try {
        return Body();
    } catch (const std::exception& e) {
        SetErrorInfo({e.what(), FFactory.ProgID(), LibraryApplication().HelpFile});
    } catch (...) {
        SetErrorInfo({HResultMessage(E_UNEXPECTED), FFactory.ProgID(), LibraryApplication().HelpFile});
    }
    return E_UNEXPECTED;
}

HRESULT TaxpAddIn::OnConnection(IDispatch* Application, int ConnectMode, IDispatch* AddInInstance,
                                office::SafeArray* custom)
{
    return Guarded([&]() -> HRESULT {
        HostApp = Variant(ComPtr<IDispatch>::Retain(Application));
        Registry = std::make_unique<TRegistry>();
        Registry->SetRootKey(HKEY_CURRENT_USER);
        if (ConnectMode != office::ext_cm_Startup) {
            if (const HRESULT hr = OnStartupComplete(custom); FAILED(hr)) return hr;
        }
        if (Host != hiMapPoint && AddInInstance) {
            AddInInstance->QueryInterface(office::COMAddIn::iid, AddInInst.PutVoid());
            if (AddInInst)
                AddInInst->SetObject(
                    ComPtr<IDispatch>::Retain(static_cast<office::IDTExtensibility2*>(this)));
        }
        return S_OK;
    });
}

HRESULT TaxpAddIn::OnAddInsUpdate(office::SafeArray*)
{
    return S_OK;
}

HRESULT TaxpAddIn::OnStartupComplete(office::SafeArray* custom)
{
    return Guarded([&] {
        StartupComplete(custom);
        return S_OK;
    });
}

void TaxpAddIn::StartupComplete(office::SafeArray*)
{
    // A host that completed the add-in's start-up before (Excel calls twice): started once.
    if (FStarted || HostApps[hiExcel]) return;
    if (!Registry) throw Exception("The add-in is not connected to a host.");
    DetectHost();
    if (!HostInSet(FFactory.HostSet, Host)) RaiseHostNotSupported(FFactory.FriendlyName);
    SetCurrentHost(Host);
    if (HasMainWindowClass(Host))
        LibraryApplication().MainWindowHandle = FindThreadWindow(HostTable[Host].MainWindowClass);
    ReadStartMode();
    HostCommandBars = GetHostCommandBars(Host, HostApp.ToDispatch());
    ReleaseControlSinks();
    BarNames.Clear();
    if (!LoadedForRegistration() && StartMode != smUninstall) {
        try {
            InitializeAddIn();
        } catch (const std::exception& e) {
            HandleError(e);
        }
        if (Host == hiWord) InstallWordWindowActivate();
    }
    FStarted = true;
    if (StartMode == smFirstStart && Registry->OpenKey(AddInKey(), false)) {
        Registry->WriteString("ADXStartMode", StartModeNames[smNormal]);
        Registry->CloseKey();
    }
}

void TaxpAddIn::DetectHost()
{
    const ComPtr<IDispatch> app = HostApp.ToDispatch();
    for (const auto& detection : HostDetection) {
        if (auto wrapper = detection.Make(app)) {
            Host = detection.Host;
            HostApps[Host] = std::move(wrapper);
            return;
        }
    }
}

void TaxpAddIn::ReadStartMode()
{
    if (!Registry->OpenKey(AddInKey(), false)) return;
    StartMode = StartModeFromString(Registry->ReadString("ADXStartMode"));
    Registry->CloseKey();
}

void TaxpAddIn::InstallWordWindowActivate()
{
    auto* word = static_cast<TWordApplication*>(HostApps[hiWord].get());
    if (!word) return;
    if (word->OnWindowActivate) PrevWindowActivate = word->OnWindowActivate;
    word->OnWindowActivate = [this] { WordWindowActivate(); };
}

HRESULT TaxpAddIn::OnBeginShutdown(office::SafeArray*)
{
    return Guarded([&] {
        BeginShutdown();
        return S_OK;
    });
}

void TaxpAddIn::BeginShutdown()
{
    if (!Registry) throw Exception("The add-in is not connected to a host.");
    if (HasMainWindowClass(CurrentHost())) LibraryApplication().MainWindowHandle = 0;
    HostCommandBars = GetHostCommandBars(Host, HostApp.ToDispatch());
    if (!LoadedForRegistration()) {
        try {
            FinalizeAddIn();
        } catch (const std::exception& e) {
            HandleError(e);
        }
    }
    if (Host == hiMapPoint && HostApps[hiMapPoint]) HostApps[hiMapPoint]->Disconnect();
    if (HostCommandBars) HideControls();
    if (HostCommandBars) HideCommandBars();
}

// Every control the add-in keeps loses its sink; in Outlook, and when the user removes the
// add-in, it is hidden and marked as closed by the add-in, so the next start shows it again.
void TaxpAddIn::HideControls()
{
    for (std::size_t i = ControlSinks.size(); i-- > 0;) {
        const std::string& text = ControlSinks[i].Text;
        const auto colon = text.find(':');
        const std::string typeName = text.substr(0, colon);
        const std::string tag = colon == std::string::npos ? std::string() : text.substr(colon + 1);
        const auto control = FindControlByTag(HostCommandBars, ControlTypeFromTag(typeName), tag);
        ControlSinks[i].Sink->Detach();
        ControlSinks[i].Sink->Disconnect();
        ControlSinks[i].Sink->ReleaseControl();
        ControlSinks.erase(ControlSinks.begin() + static_cast<std::ptrdiff_t>(i));
        if (!control) continue;
        control->SetParameter("");
        if (UserRemoval || Host == hiOutlook) {
            control->SetVisible(false);
            control->SetParameter(MarkerUserClose);
        }
    }
}

// A toolbar that still shows a visible control stays visible only on a removal by the user.
void TaxpAddIn::HideCommandBars()
{
    for (const auto& name : BarNames) {
        const auto bar = FindCommandBar(name, HostCommandBars);
        if (!bar) continue;
        bool keep = false;
        const auto controls = bar->Controls();
        const int count = controls->Count();
        for (int i = 1; i <= count; ++i) {
            if (controls->Item(i)->Visible()) {
                keep = UserRemoval;
                break;
            }
        }
        if ((bar->Position() != office::msoBarPopup || Host == hiOutlook) &&
            (UserRemoval || Host == hiOutlook)) {
            bar->SetVisible(keep);
            // Under the name the next start reads it by.
            if (!keep) FFactory.WriteAddInValue(Host, name, MarkerUserClose);
        }
    }
}

HRESULT TaxpAddIn::OnDisconnection(int RemoveMode, office::SafeArray* custom)
{
    return Guarded([&] {
        struct TEndConnection {
            TaxpAddIn& AddIn;
            ~TEndConnection() { AddIn.EndConnection(); }
        } end{*this};
        UserRemoval = RemoveMode != office::ext_dm_HostShutdown;
        if (UserRemoval) {
            if (const HRESULT hr = OnBeginShutdown(custom); FAILED(hr)) return hr;
            if (!ListedInHost()) FFactory.RemoveControls(HostApp.ToDispatch());
        }
        return S_OK;
    });
}

bool TaxpAddIn::ListedInHost()
{
    const auto application = HostApp.ToDispatch().As<office::IOfficeApplication>();
    if (!application) throw ComError(E_NOINTERFACE, "The host offers no list of its add-ins.");
    const auto addIns = application->COMAddIns();
    const int count = addIns->Count();
    for (int i = 1; i <= count; ++i)
        if (addIns->Item(i)->ProgID() == FFactory.ProgID()) return true;
    return false;
}

// Nothing of a connection outlives it, also when the disconnection failed half-way.
void TaxpAddIn::EndConnection() noexcept
{
    BarNames.Clear();
    ReleaseControlSinks();
    HostCommandBars.Reset();
    for (auto& wrapper : HostApps) wrapper.reset();
    AddInInst.Reset();
    HostApp = Variant();
    UserRemoval = false;
    FStarted = false;
    Registry.reset();
}

void TaxpAddIn::InitializeAddIn() {}

void TaxpAddIn::FinalizeAddIn() {}

void TaxpAddIn::ControlClick(const std::string&, const ComPtr<office::CommandBarControl>&) {}

void TaxpAddIn::HandleError(const std::exception& E)
{
    if (dynamic_cast<const EAbort*>(&E)) return;
    try {
        AddInUserInterface().ShowError(fmt::format("{} error: the add-in has fired an exception.\r\n{}",
                                                   FFactory.FriendlyName, E.what()),
                                       "Error");
    } catch (const std::exception&) {
        // Nothing is left to show the error with.
    }
}

TOutlookApplication* TaxpAddIn::OutlookApplication() const
{
    return static_cast<TOutlookApplication*>(HostApps[hiOutlook].get());
}

ComPtr<office::_CommandBars> TaxpAddIn::GetActiveCommandBars()
{
    if (Host != hiOutlook) return HostCommandBars;
    TOutlookApplication* outlook = OutlookApplication();
    if (!outlook || outlook->Explorers()->Count() == 0) return {};
    const auto explorer = outlook->ActiveExplorer();
    return explorer ? explorer->CommandBars() : nullptr;
}

std::string TaxpAddIn::AddInKey() const
{
    return FFactory.GetAddInKey(Host);
}
