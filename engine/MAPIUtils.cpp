#include "engine/MAPIUtils.h"

#include "platform/com/ComRuntime.h"
#include "platform/com/ConnectionPoint.h"
#include "platform/com/Dispatch.h"

#include "platform/qelutils/MAPIUtils.h"

namespace {

constexpr const CLSID& kClassMAPIUtils = qelutils::CLSID_MAPIUtils;
constexpr const IID& kEventsMAPIUtils = qelutils::DIID_IMAPIUtilsEvents;
constexpr DISPID kNewMailEvent = qelutils::DISPID_NewMail;

}  // namespace

/// Receives the server's events and hands the new-mail event to its client while connected.
class TMAPIUtils::TEventSink final : public DispatchObject<IDispatch> {
public:
    explicit TEventSink(TMAPIUtils* owner) : owner_(owner) {}
    void Detach() { owner_ = nullptr; }

    HRESULT QueryInterface(const IID& riid, void** object) override
    {
        if (riid == kEventsMAPIUtils) return DispatchObject<IDispatch>::QueryInterface(IDispatch::iid, object);
        return DispatchObject<IDispatch>::QueryInterface(riid, object);
    }

    HRESULT Invoke(DISPID member, const IID&, std::uint32_t, std::uint16_t, DISPPARAMS* params, Variant*,
                   EXCEPINFO*, std::uint32_t*) override
    {
        if (member != kNewMailEvent || !owner_) return S_OK;  // other events are ignored
        const Variant* arg = ArgAt(params, 0);
        if (!arg) return DISP_E_BADPARAMCOUNT;
        try {
            // The handlers work on the item: an event without one never reaches them.
            const auto item = arg->ToUnknown().As<outlook::IOutlookItem>();
            if (!item) return DISP_E_TYPEMISMATCH;
            owner_->FireNewMail(item);
        } catch (...) {
            return E_FAIL;  // the handler shows its own errors; none crosses the server's call
        }
        return S_OK;
    }

private:
    TMAPIUtils* owner_;
};

TMAPIUtils::TMAPIUtils(TNewMailEvents NewMailEvents) : FNewMailEvents(NewMailEvents) {}

TMAPIUtils::~TMAPIUtils() { Disconnect(); }

void TMAPIUtils::Connect()
{
    if (FIntf) return;
    ComPtr<IUnknown> server;
    if (FAILED(GetActiveObject(kClassMAPIUtils, nullptr, server.Put())) || !server) {
        OleCheck(CoCreateInstance(kClassMAPIUtils, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                  IUnknown::iid, server.PutVoid()));
    }
    ComPtr<qelutils::IMAPIUtils> intf;
    OleCheck(server->QueryInterface(qelutils::IMAPIUtils::iid, intf.PutVoid()));
    if (FNewMailEvents == TNewMailEvents::Listen) AdviseSink(server);
    FIntf = std::move(intf);
}

void TMAPIUtils::AdviseSink(const ComPtr<IUnknown>& Server)
{
    const auto container = Server.As<IConnectionPointContainer>();
    if (!container) return;
    ComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(kEventsMAPIUtils, point.Put())) || !point) return;
    ComPtr<TEventSink> sink = MakeCom<TEventSink>(this);
    OleCheck(point->Advise(static_cast<IDispatch*>(sink.Get()), &FCookie));
    FSink = std::move(sink);
}

void TMAPIUtils::Disconnect()
{
    if (FSink && FIntf) {
        if (const auto container = FIntf.As<IConnectionPointContainer>()) {
            ComPtr<IConnectionPoint> point;
            if (SUCCEEDED(container->FindConnectionPoint(kEventsMAPIUtils, point.Put())) && point) {
                point->Unadvise(FCookie);
            }
        }
    }
    if (FSink) FSink->Detach();  // an event already on its way finds no client
    FSink.Reset();
    FCookie = 0;
    FIntf.Reset();
}

void TMAPIUtils::FireNewMail(const ComPtr<outlook::IOutlookItem>& Item)
{
    if (OnNewMail) OnNewMail(*this, Item);
}

qelutils::IMAPIUtils& TMAPIUtils::Intf()
{
    Connect();
    return *FIntf;
}

std::string TMAPIUtils::GetMAPIProperty(const ComPtr<IUnknown>& Object, std::uint32_t Tag)
{
    Variant value;
    OleCheck(Intf().GetMAPIProperty(Object.Get(), Tag, &value));
    return value.ToString();
}

std::int32_t TMAPIUtils::SetMAPIProperty(const ComPtr<IUnknown>& Object, std::uint32_t Tag,
                                         const std::string& Value, bool Save)
{
    std::int32_t result = 0;
    OleCheck(Intf().SetMAPIProperty(Object.Get(), Tag, Variant(Value), Save, &result));
    return result;
}

void TMAPIUtils::Shutdown() { OleCheck(Intf().Shutdown()); }

