#pragma once
// The MAPI utility object: property access for the engine and the new-mail event, fed by
// a watcher on the default store's Inbox while at least one sink is advised.

#include <memory>

#include "platform/outlook/Outlook.h"
#include "platform/qelutils/InboxWatcher.h"
#include "platform/qelutils/MAPIUtils.h"

namespace qelutils {

class MAPIUtilsObject : public DispatchObject<IMAPIUtils, IConnectionPointContainer> {
public:
    MAPIUtilsObject();
    ~MAPIUtilsObject() override;

    HRESULT GetMAPIProperty(IUnknown* object, std::uint32_t tag, Variant* value) override;
    HRESULT SetMAPIProperty(IUnknown* object, std::uint32_t tag, const Variant& value, bool save,
                            std::int32_t* result) override;
    HRESULT Reserved3() override { return E_NOTIMPL; }
    HRESULT Reserved4() override { return E_NOTIMPL; }
    HRESULT Reserved5() override { return E_NOTIMPL; }
    HRESULT Reserved6() override { return E_NOTIMPL; }
    HRESULT Reserved7() override { return E_NOTIMPL; }
    HRESULT Reserved8() override { return E_NOTIMPL; }
    HRESULT Shutdown() override;

    HRESULT Invoke(DISPID member, const IID& riid, std::uint32_t lcid, std::uint16_t flags, DISPPARAMS* params,
                   Variant* result, EXCEPINFO* excepInfo, std::uint32_t* argErr) override;
    HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** point) override;

    /// Whether the Inbox is being watched (for tests and diagnostics).
    bool Watching() const { return watcher_ != nullptr; }

private:
    void SinkCountChanged(std::size_t count);
    void StartWatching();
    void StopWatching();
    void MessageArrived(const std::filesystem::path& file);
    HRESULT InvokeMember(DISPID member, DISPPARAMS* params, Variant* result);

    ConnectionPoints points_{DIID_IMAPIUtilsEvents};
    ComPtr<outlook::IMAPIFolder> inbox_;
    std::unique_ptr<InboxWatcher> watcher_;
};

}  // namespace qelutils
