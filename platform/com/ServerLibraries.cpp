#include "platform/com/ServerLibraries.h"

#include <dlfcn.h>

#include <map>
#include <memory>
#include <mutex>

#include "platform/com/ComRuntime.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/LibraryHandle.h"

namespace com_internal {
namespace {

struct ServerLibrary {
    LibraryHandle handle;
    DllGetClassObjectFn getClassObject = nullptr;
    DllCanUnloadNowFn canUnloadNow = nullptr;
};

template <class Fn>
Fn Entry(void* handle, const char* name)
{
    return reinterpret_cast<Fn>(dlsym(handle, name));
}

class LibraryCache {
public:
    HRESULT ClassObjectEntry(const std::string& path, DllGetClassObjectFn* entry)
    {
        std::lock_guard lock(mutex_);
        auto it = libraries_.find(path);
        if (it == libraries_.end()) {
            ServerLibrary library;
            if (const HRESULT hr = Load(path, library); FAILED(hr)) return hr;
            it = libraries_.emplace(path, std::move(library)).first;
        }
        *entry = it->second.getClassObject;
        return S_OK;
    }

    void FreeUnused()
    {
        std::lock_guard lock(mutex_);
        std::erase_if(libraries_, [](const auto& item) {
            const auto& library = item.second;
            return library.canUnloadNow && library.canUnloadNow() == S_OK;
        });
    }

private:
    static HRESULT Load(const std::string& path, ServerLibrary& library)
    {
        library.handle.reset(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
        if (!library.handle) {
            const char* reason = dlerror();
            SetErrorInfo({"The server library " + path + " cannot be loaded: " + (reason ? reason : ""), {}, {}});
            return CO_E_DLLNOTFOUND;
        }
        library.getClassObject = Entry<DllGetClassObjectFn>(library.handle.get(), "DllGetClassObject");
        library.canUnloadNow = Entry<DllCanUnloadNowFn>(library.handle.get(), "DllCanUnloadNow");
        if (!library.getClassObject) {
            SetErrorInfo({"The server library " + path + " has no entry point DllGetClassObject", {}, {}});
            return CO_E_ERRORINDLL;
        }
        return S_OK;
    }

    std::mutex mutex_;
    std::map<std::string, ServerLibrary> libraries_;
};

LibraryCache& Cache()
{
    static LibraryCache cache;
    return cache;
}

}  // namespace

HRESULT ClassObjectEntry(const std::string& path, DllGetClassObjectFn* entry) noexcept
{
    try {
        return Cache().ClassObjectEntry(path, entry);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

void TouchLibraryCache() noexcept { Cache(); }

}  // namespace com_internal

HRESULT CoGetClassObject(const CLSID& clsid, std::uint32_t context, void*, const IID& riid, void** object) noexcept
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    std::optional<std::string> path;
    try {
        path = InprocServerPath(clsid);
    } catch (const std::exception& e) {
        SetErrorInfo({e.what(), {}, {}});
        return E_FAIL;
    }
    if (!path) return REGDB_E_CLASSNOTREG;
    DllGetClassObjectFn entry = nullptr;
    if (const HRESULT hr = com_internal::ClassObjectEntry(*path, &entry); FAILED(hr)) return hr;
    return entry(clsid, riid, object);
}

HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, std::uint32_t context, const IID& riid,
                         void** object) noexcept
{
    if (!object) return E_POINTER;
    *object = nullptr;
    ComPtr<IClassFactory> factory;
    if (const HRESULT hr = CoGetClassObject(clsid, context, nullptr, IClassFactory::iid, factory.PutVoid());
        FAILED(hr))
        return hr;
    return factory->CreateInstance(outer, riid, object);
}

void CoFreeUnusedLibraries() noexcept
{
    try {
        com_internal::Cache().FreeUnused();
    } catch (...) {
        // Nothing to report: a library that cannot be asked stays loaded.
    }
}
