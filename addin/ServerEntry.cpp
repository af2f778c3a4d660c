// The four entry points of the add-in library: the classes of the add-in object and of the
// rules page, their registration with the type library, and the add-in's registration under
// the mail client's add-in key.

#include "addin/QEL_OptionPageControl.h"
#include "addin/TypeLibrary.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/ServerModule.h"

namespace {

ServerModule& Module()
{
    static ServerModule module({
        {typelib::CLASS_QEL_OptionPage, typelib::kOptionPageProgID, "QEL_OptionPage Control",
         [](ServerModule& m) -> ComPtr<IUnknown> { return m.MakeUnknown<TQEL_OptionPageControl>(); }},
    });
    return module;
}

template <class F>
HRESULT Registration(F&& body) noexcept
{
    try {
        body();
        return S_OK;
    } catch (const std::exception& e) {
        SetErrorInfo({e.what(), typelib::kTrovantaProgID, {}});
        return E_FAIL;
    }
}

}  // namespace

TROVANTA_SERVER_EXPORT HRESULT DllGetClassObject(const CLSID& clsid, const IID& riid, void** object)
{
    return Module().GetClassObject(clsid, riid, object);
}

TROVANTA_SERVER_EXPORT HRESULT DllCanUnloadNow() { return Module().CanUnloadNow(); }

TROVANTA_SERVER_EXPORT HRESULT DllRegisterServer()
{
    const void* self = reinterpret_cast<const void*>(&DllRegisterServer);
    if (const HRESULT hr = Module().RegisterServer(self); FAILED(hr)) return hr;
    return Registration([self] {
        typelib::RegisterTypeLibrary(LibraryPathOf(self));
        typelib::RegisterControlKeys(typelib::CLASS_QEL_OptionPage, typelib::kOptionPageMiscStatus);
    });
}

TROVANTA_SERVER_EXPORT HRESULT DllUnregisterServer()
{
    if (const HRESULT hr = Registration([] { typelib::UnregisterTypeLibrary(); }); FAILED(hr)) return hr;
    return Module().UnregisterServer();
}
