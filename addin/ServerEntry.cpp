// The start-up of the add-in library: the class factories of the add-in object and of the
// rules page, created once when the library is loaded, and the four entry points, which also
// register the type library.

#include "addin/AddInResources.h"
#include "addin/AddInUserInterface.h"
#include "addin/QEL_OptionPageControl.h"
#include "addin/Trovanta.h"
#include "addin/TypeLibrary.h"
#include "addin_framework/axpComServer.h"
#include "addin_framework/axpFactory.h"
#include "platform/com/ErrorInfo.h"

namespace {

TaxpComServer& ComServer()
{
    static TaxpComServer server(typelib::kLibraryName, {OptionPageClass()});
    return server;
}

TaxpFactory& AddInFactory()
{
    static const std::unique_ptr<TaxpFactory> factory = MakeTrovantaFactory(ComServer());
    return *factory;
}

// The factories exist from the moment the library is loaded, and the framework shows its
// messages through the windows' user interface. The library links Qt, which cannot be unloaded
// from a process: the library stays loaded once it is.
const bool libraryStarted = (PinAddInLibrary(), AddInFactory(), InstallAddInUserInterface(), true);

template <class F>
HRESULT TypeLibraryCall(F&& body) noexcept
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
    return ComServer().GetClassObject(clsid, riid, object);
}

TROVANTA_SERVER_EXPORT HRESULT DllCanUnloadNow()
{
    return ComServer().CanUnloadNow();
}

TROVANTA_SERVER_EXPORT HRESULT DllRegisterServer()
{
    if (const HRESULT hr = ComServer().RegisterServer(); FAILED(hr)) return hr;
    return TypeLibraryCall([] {
        typelib::RegisterTypeLibrary(TaxpComServer::ServerFileName());
        typelib::RegisterControlKeys(typelib::CLASS_QEL_OptionPage, typelib::kOptionPageMiscStatus);
    });
}

TROVANTA_SERVER_EXPORT HRESULT DllUnregisterServer()
{
    if (const HRESULT hr = TypeLibraryCall([] { typelib::UnregisterTypeLibrary(); }); FAILED(hr)) return hr;
    return ComServer().UnregisterServer();
}
