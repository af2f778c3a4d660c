#include "addin_framework/axpEventSink.h"

#include "addin_framework/axpAddIn.h"
#include "addin_framework/axpComServer.h"
#include "addin_framework/axpCommandBars.h"
#include "addin_framework/axpFactory.h"
#include "addin_framework/axpHosts.h"

TaxpEventSink::TaxpEventSink(TaxpAddIn* AddIn, const ComPtr<office::CommandBarControl>& Control, int Index)
    : FModuleLock(AddIn->Factory().ComServer().Module()),
      FAddIn(AddIn),
      FControl(Control),
      FIndex(Index),
      FControlTag(Control->Tag())
{
}

ComPtr<TaxpEventSink> TaxpEventSink::Create(TaxpAddIn* AddIn,
                                            const ComPtr<office::CommandBarControl>& Control, int Index)
{
    auto sink = MakeCom<TaxpEventSink>(AddIn, Control, Index);
    sink->ConnectTo(Control);
    Control->SetParameter(std::to_string(Index));
    return sink;
}

void TaxpEventSink::ConnectTo(const ComPtr<office::CommandBarControl>& Control)
{
    const IID events = office::EventInterfaceOf(Control->Type());
    if (events == GUID_NULL) return;
    const auto container = Control.As<IConnectionPointContainer>();
    if (!container) return;
    ComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(events, point.Put())) || !point) return;
    std::uint32_t cookie = 0;
    if (SUCCEEDED(point->Advise(static_cast<office::_CommandBarButtonEvents*>(this), &cookie))) {
        FCookie = cookie;
        FConnected = events;
    }
}

void TaxpEventSink::Disconnect() noexcept
{
    if (FConnected == GUID_NULL || !FControl) return;
    const IID events = FConnected;
    FConnected = GUID_NULL;
    // The host may hold the last reference to this sink: keep it until Unadvise has returned.
    const ComPtr<TaxpEventSink> self = ComPtr<TaxpEventSink>::Retain(this);
    try {
        const auto container = FControl.As<IConnectionPointContainer>();
        ComPtr<IConnectionPoint> point;
        if (container && SUCCEEDED(container->FindConnectionPoint(events, point.Put())) && point)
            point->Unadvise(FCookie);
    } catch (const std::exception&) {
        // A control that is gone holds no connection any more.
    }
}

HRESULT TaxpEventSink::GetTypeInfoCount(std::uint32_t* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT TaxpEventSink::GetIDsOfNames(const IID&, const std::string* names, std::uint32_t count, std::uint32_t,
                                     DISPID* ids)
{
    if (!names || !ids) return E_POINTER;
    if (count != 1) return E_INVALIDARG;
    try {
        const int type = FControl ? FControl->Type() : -1;
        const IID events = office::EventInterfaceOf(type);
        const char* expected = events == office::_CommandBarButtonEvents::iid     ? "Click"
                               : events == office::_CommandBarComboBoxEvents::iid ? "Change"
                                                                                  : nullptr;
        if (expected && names[0] == expected) {
            ids[0] = 1;
            return S_OK;
        }
    } catch (const std::exception&) {
        // A control that no longer answers has no members.
    }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT TaxpEventSink::Invoke(DISPID member, const IID&, std::uint32_t, std::uint16_t, DISPPARAMS* params,
                              Variant*, EXCEPINFO*, std::uint32_t*)
{
    if (member != 1) return DISP_E_MEMBERNOTFOUND;
    if (!params) return E_POINTER;
    try {
        return Dispatch(params);
    } catch (const std::exception&) {
        // An event of the host takes no exception back.
        return DISP_E_EXCEPTION;
    }
}

HRESULT TaxpEventSink::Dispatch(DISPPARAMS* params)
{
    const Variant* first = ArgAt(params, 0);
    if (!first) return DISP_E_BADPARAMCOUNT;
    const auto control = first->ToUnknown().As<office::CommandBarControl>();
    if (!control) return DISP_E_TYPEMISMATCH;
    // Keep the add-in alive while its hook runs, even if the hook ends its connection.
    TaxpAddIn* addIn = FAddIn;
    if (!addIn || control->Parameter() != std::to_string(FIndex)) return S_OK;
    const ComPtr<TaxpAddIn> keep = ComPtr<TaxpAddIn>::Retain(addIn);
    try {
        addIn->ControlClick(control->Tag(), control);
    } catch (const std::exception& e) {
        addIn->HandleError(e);
    }
    if (!FAddIn || addIn->Host == hiWord) return S_OK;
    // Hear the control the event came from; a second connection to the same control would
    // only make every later click arrive twice.
    if (!SameObject(control.Get(), FControl.Get())) {
        Disconnect();
        FControl = control;
        ConnectTo(control);
    }
    control->SetParameter(std::to_string(FIndex));
    return S_OK;
}
