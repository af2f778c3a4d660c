#include <map>
#include <mutex>

#include "platform/com/ComRuntime.h"
#include "platform/com/ServerLibraries.h"

namespace {

struct ActiveObject {
    CLSID clsid;
    ComPtr<IUnknown> object;
};

/// The process's running-object table.
class RunningObjectTable {
public:
    std::uint32_t Register(const CLSID& clsid, ComPtr<IUnknown> object)
    {
        std::lock_guard lock(mutex_);
        const std::uint32_t cookie = nextCookie_++;
        entries_.emplace(cookie, ActiveObject{clsid, std::move(object)});
        return cookie;
    }

    bool Revoke(std::uint32_t cookie)
    {
        ComPtr<IUnknown> released;  // released after the lock: its destructor may call back
        std::lock_guard lock(mutex_);
        const auto it = entries_.find(cookie);
        if (it == entries_.end()) return false;
        released = std::move(it->second.object);
        entries_.erase(it);
        return true;
    }

    /// The object registered first among those of `clsid`.
    ComPtr<IUnknown> Find(const CLSID& clsid) const
    {
        std::lock_guard lock(mutex_);
        for (const auto& [cookie, entry] : entries_)
            if (entry.clsid == clsid) return entry.object;
        return {};
    }

private:
    mutable std::mutex mutex_;
    std::map<std::uint32_t, ActiveObject> entries_;
    std::uint32_t nextCookie_ = 1;
};

RunningObjectTable& Table()
{
    // The libraries' cache must outlive the table: objects left in it at exit run their
    // destructors in those libraries.
    com_internal::TouchLibraryCache();
    static RunningObjectTable table;
    return table;
}

}  // namespace

HRESULT RegisterActiveObject(IUnknown* object, const CLSID& clsid, std::uint32_t, std::uint32_t* cookie) noexcept
{
    if (!object || !cookie) return E_POINTER;
    try {
        *cookie = Table().Register(clsid, ComPtr<IUnknown>::Retain(object));
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT RevokeActiveObject(std::uint32_t cookie, void*) noexcept
{
    return Table().Revoke(cookie) ? S_OK : E_INVALIDARG;
}

HRESULT GetActiveObject(const CLSID& clsid, void*, IUnknown** object) noexcept
{
    if (!object) return E_POINTER;
    *object = Table().Find(clsid).Detach();
    return *object ? S_OK : MK_E_UNAVAILABLE;
}
