#include "platform/com/ServerModule.h"

#include "platform/com/ClassRegistry.h"
#include "platform/com/ComError.h"
#include "platform/com/ErrorInfo.h"

ModuleLock::ModuleLock(ServerModule& module) : module_(module) { module_.Lock(); }
ModuleLock::ModuleLock(const ModuleLock& other) : module_(other.module_) { module_.Lock(); }
ModuleLock::~ModuleLock() { module_.Unlock(); }

namespace {

/// The factory of one class of a module; it holds the module while it lives.
class ClassFactory : public ComObject<IClassFactory> {
public:
    ClassFactory(ServerModule& module, const ServerClass& cls) : module_(module), class_(cls) {}

    HRESULT CreateInstance(IUnknown* outer, const IID& riid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        try {
            const ComPtr<IUnknown> created = class_.create(module_);
            if (!created) return E_OUTOFMEMORY;
            return created->QueryInterface(riid, object);
        } catch (const ComError& e) {
            SetErrorInfo({e.Message(), class_.progID, {}});
            return e.Code();
        } catch (const std::exception& e) {
            SetErrorInfo({e.what(), class_.progID, {}});
            return E_FAIL;
        }
    }

    HRESULT LockServer(bool lock) override
    {
        if (lock)
            module_.Lock();
        else
            module_.Unlock();
        return S_OK;
    }

private:
    ServerModule& module_;
    const ServerClass& class_;
};

template <class F>
HRESULT RegistrationCall(F&& body) noexcept
{
    try {
        body();
        return S_OK;
    } catch (const std::exception& e) {
        SetErrorInfo({e.what(), {}, {}});
        return E_FAIL;
    }
}

}  // namespace

HRESULT ServerModule::GetClassObject(const CLSID& clsid, const IID& riid, void** object) noexcept
{
    if (!object) return E_POINTER;
    *object = nullptr;
    for (const auto& cls : classes_) {
        if (cls.clsid != clsid) continue;
        try {
            return Make<ClassFactory>(*this, cls)->QueryInterface(riid, object);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ServerModule::CanUnloadNow() const noexcept { return locks_ == 0 ? S_OK : S_FALSE; }

HRESULT ServerModule::RegisterServer(const void* addressInLibrary) const noexcept
{
    return RegistrationCall([&] {
        const std::string path = LibraryPathOf(addressInLibrary);
        for (const auto& cls : classes_) RegisterInprocServer(cls.clsid, cls.progID, cls.description, path);
        if (extra_) extra_(path, true);
    });
}

HRESULT ServerModule::UnregisterServer(const void* addressInLibrary) const noexcept
{
    return RegistrationCall([&] {
        for (const auto& cls : classes_) UnregisterInprocServer(cls.clsid, cls.progID);
        if (extra_) extra_(LibraryPathOf(addressInLibrary), false);
    });
}
