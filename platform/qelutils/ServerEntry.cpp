// The four entry points of the external server library.

#include "platform/qelutils/Classes.h"

namespace {

ServerModule& Module()
{
    static ServerModule module(qelutils::ServerClasses());
    return module;
}

}  // namespace

TROVANTA_SERVER_EXPORT HRESULT DllGetClassObject(const CLSID& clsid, const IID& riid, void** object)
{
    return Module().GetClassObject(clsid, riid, object);
}

TROVANTA_SERVER_EXPORT HRESULT DllCanUnloadNow() { return Module().CanUnloadNow(); }

TROVANTA_SERVER_EXPORT HRESULT DllRegisterServer()
{
    return Module().RegisterServer(reinterpret_cast<const void*>(&DllRegisterServer));
}

TROVANTA_SERVER_EXPORT HRESULT DllUnregisterServer() { return Module().UnregisterServer(); }
