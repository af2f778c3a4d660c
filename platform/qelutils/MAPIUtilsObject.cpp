#include "platform/qelutils/MAPIUtilsObject.h"

#include <glib.h>

#include "platform/com/ComRuntime.h"
#include "platform/qelutils/InboxItems.h"
#include "platform/qelutils/MapiProperties.h"

namespace qelutils {
namespace {

constexpr char kSource[] = "QELutils.MAPIUtils";

IUnknown& Require(IUnknown* object)
{
    if (!object) throw ComError(E_POINTER, HResultMessage(E_POINTER));
    return *object;
}

/// The mail client's application object: the running one, else a new one.
ComPtr<outlook::IOutlookApplication> Application()
{
    if (auto running = GetActiveOleObject<outlook::IOutlookApplication>("Outlook.Application")) return running;
    return CreateOleObject<outlook::IOutlookApplication>("Outlook.Application");
}

}  // namespace

MAPIUtilsObject::MAPIUtilsObject()
{
    points_.Point(DIID_IMAPIUtilsEvents)->SetSinkCountWatcher([this](std::size_t n) { SinkCountChanged(n); });
}

MAPIUtilsObject::~MAPIUtilsObject() { StopWatching(); }

HRESULT MAPIUtilsObject::GetMAPIProperty(IUnknown* object, std::uint32_t tag, Variant* value)
{
    if (!value) return E_POINTER;
    return GuardedCall([&] { *value = GetTextProperty(Require(object), tag); }, kSource);
}

HRESULT MAPIUtilsObject::SetMAPIProperty(IUnknown* object, std::uint32_t tag, const Variant& value, bool save,
                                         std::int32_t* result)
{
    if (result) *result = 0;
    return GuardedCall([&] { SetTextProperty(Require(object), tag, value.ToString(), save); }, kSource);
}

HRESULT MAPIUtilsObject::Shutdown()
{
    StopWatching();
    return S_OK;
}

HRESULT MAPIUtilsObject::FindConnectionPoint(const IID& iid, IConnectionPoint** point)
{
    return points_.Find(iid, point);
}

void MAPIUtilsObject::SinkCountChanged(std::size_t count)
{
    if (count == 0) {
        StopWatching();
    } else if (!watcher_) {
        StartWatching();
    }
}

// Advise cannot fail for this: without a mail store the event never fires, and the
// reason is logged once.
void MAPIUtilsObject::StartWatching()
{
    try {
        inbox_ = Application()->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox);
        watcher_ = std::make_unique<InboxWatcher>(DefaultInboxDirectory(),
                                                  [this](const std::filesystem::path& f) { MessageArrived(f); });
    } catch (const std::exception& e) {
        inbox_.Reset();
        g_warning("New e-mails cannot be watched: %s", e.what());
    }
}

void MAPIUtilsObject::StopWatching()
{
    watcher_.reset();
    inbox_.Reset();
}

void MAPIUtilsObject::MessageArrived(const std::filesystem::path& file)
{
    if (!inbox_) return;
    // Keep the folder while sinks run: one of them may shut the watcher down.
    const auto inbox = inbox_;
    if (const auto item = FindItemOfFile(*inbox, file))
        points_.FireDispatch(DIID_IMAPIUtilsEvents, DISPID_NewMail, {Variant(item)});
}

HRESULT MAPIUtilsObject::Invoke(DISPID member, const IID&, std::uint32_t, std::uint16_t, DISPPARAMS* params,
                                Variant* result, EXCEPINFO*, std::uint32_t*)
{
    try {
        return InvokeMember(member, params, result);
    } catch (const ComError& e) {
        return e.Code();  // a mistyped argument
    }
}

// Late-bound calls: GetMAPIProperty(object, tag) returns the value as the call's result.
HRESULT MAPIUtilsObject::InvokeMember(DISPID member, DISPPARAMS* params, Variant* result)
{
    const std::uint32_t count = params ? params->cArgs : 0;
    switch (member) {
        case DISPID_GetMAPIProperty: {
            if (count != 2 && count != 3) return DISP_E_BADPARAMCOUNT;
            Variant value;
            const HRESULT hr = GetMAPIProperty(ArgAt(params, 0)->ToUnknown().Get(),
                                               static_cast<std::uint32_t>(ArgAt(params, 1)->ToInt()), &value);
            if (result) *result = value;
            return hr;
        }
        case DISPID_SetMAPIProperty: {
            if (count != 4) return DISP_E_BADPARAMCOUNT;
            std::int32_t code = 0;
            const HRESULT hr = SetMAPIProperty(ArgAt(params, 0)->ToUnknown().Get(),
                                               static_cast<std::uint32_t>(ArgAt(params, 1)->ToInt()),
                                               *ArgAt(params, 2), ArgAt(params, 3)->ToBool(), &code);
            if (result) *result = Variant(code);
            return hr;
        }
        case DISPID_Shutdown:
            return count == 0 ? Shutdown() : DISP_E_BADPARAMCOUNT;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace qelutils
