#include "engine/MAPIUtils.h"

#include "platform/com/ComRuntime.h"
#include "platform/com/ConnectionPoint.h"
#include "platform/com/Dispatch.h"

#if __has_include("platform/qelutils/MAPIUtils.h")
#include "platform/qelutils/MAPIUtils.h"
#define TROVANTA_HAVE_IMAPIUTILS 1
#else
// The server's interface has not landed yet: every call fails as with a missing server.
namespace qelutils {
struct IMAPIUtils : IUnknown {
    static constexpr IID iid = MakeGuid("{D45B0772-5801-4E61-9CBA-84120557A4D7}");
    using Base = IUnknown;
};
}  // namespace qelutils
#endif

namespace {

constexpr CLSID kClassMAPIUtils = MakeGuid("{465698C2-5138-4DCC-84B9-F7E23B9BB44E}");
constexpr IID kEventsMAPIUtils = MakeGuid("{359A062F-CDA8-4A9C-9B28-588446D35098}");
constexpr DISPID kNewMailEvent = 1;

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
            owner_->FireNewMail(arg->ToUnknown().As<outlook::IOutlookItem>());
        } catch (...) {
            return E_FAIL;  // the handler shows its own errors; none crosses the server's call
        }
        return S_OK;
    }

private:
    TMAPIUtils* owner_;
};

TMAPIUtils::TMAPIUtils() = default;

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

    if (const auto container = server.As<IConnectionPointContainer>()) {
        ComPtr<IConnectionPoint> point;
        if (SUCCEEDED(container->FindConnectionPoint(kEventsMAPIUtils, point.Put())) && point) {
            ComPtr<TEventSink> sink = MakeCom<TEventSink>(this);
            OleCheck(point->Advise(static_cast<IDispatch*>(sink.Get()), &FCookie));
            FSink = std::move(sink);
        }
    }
    FIntf = std::move(intf);
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

#ifdef TROVANTA_HAVE_IMAPIUTILS

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

#else

std::string TMAPIUtils::GetMAPIProperty(const ComPtr<IUnknown>&, std::uint32_t)
{
    Intf();
    throw ComError(REGDB_E_CLASSNOTREG);
}

std::int32_t TMAPIUtils::SetMAPIProperty(const ComPtr<IUnknown>&, std::uint32_t, const std::string&, bool)
{
    Intf();
    throw ComError(REGDB_E_CLASSNOTREG);
}

void TMAPIUtils::Shutdown()
{
    Intf();
    throw ComError(REGDB_E_CLASSNOTREG);
}

#endif
