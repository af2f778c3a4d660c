#pragma once
// The COM server of an add-in library: its add-in factories (TaxpFactory) and its other
// classes, and the four entry points over them. An add-in library writes:
//
//   TaxpComServer& ComServer() { static TaxpComServer server("QELaddin", {pageClass}); return server; }
//   TaxpFactory& AddInFactory()
//   {
//       static TaxpFactory factory(ComServer(), AddInClassOf<TMyAddIn>("MyAddIn"), ...);
//       return factory;
//   }
//   const bool created = (AddInFactory(), true);  // the factory exists from the library's load
//   TROVANTA_ADDIN_SERVER_ENTRY_POINTS(ComServer)

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/com/ServerModule.h"

class TaxpFactory;

class TaxpComServer {
public:
    /// `TypeLibraryName` is the first part of the add-in classes' ProgIDs; `OtherClasses` are
    /// the library's classes that are not add-ins.
    explicit TaxpComServer(std::string TypeLibraryName, std::vector<ServerClass> OtherClasses = {});
    TaxpComServer(const TaxpComServer&) = delete;
    TaxpComServer& operator=(const TaxpComServer&) = delete;

    const std::string& TypeLibraryName() const { return FTypeLibraryName; }
    /// Called by TaxpFactory's constructor; raises once the module is built.
    void AddFactory(TaxpFactory& Factory);
    const std::vector<TaxpFactory*>& Factories() const { return FFactories; }
    /// The server module over every class; built at first use, from the factories made so far.
    ServerModule& Module();
    /// The path of the library that holds the server (the library the framework is linked into).
    static std::string ServerFileName();

    /// DllGetClassObject, DllCanUnloadNow.
    HRESULT GetClassObject(const CLSID& clsid, const IID& riid, void** object) noexcept;
    HRESULT CanUnloadNow() noexcept;
    /// DllRegisterServer: each factory's UpdateRegistry(true), then the other classes' COM
    /// registration, while the library counts as loaded for registration. E_FAIL on any
    /// error, with its message as the error information.
    HRESULT RegisterServer() noexcept;
    /// DllUnregisterServer: the same with UpdateRegistry(false) and the COM unregistration.
    HRESULT UnregisterServer() noexcept;

private:
    std::string FTypeLibraryName;
    std::vector<ServerClass> FOtherClasses;
    std::vector<TaxpFactory*> FFactories;
    std::once_flag FBuilt;
    std::optional<ServerModule> FModule;
};

/// Defines the four exported entry points of an add-in library over the TaxpComServer that
/// `comServerFunction()` returns.
#define TROVANTA_ADDIN_SERVER_ENTRY_POINTS(comServerFunction)                                            \
    TROVANTA_SERVER_EXPORT HRESULT DllGetClassObject(const CLSID& clsid, const IID& riid, void** object) \
    {                                                                                                    \
        return comServerFunction().GetClassObject(clsid, riid, object);                                  \
    }                                                                                                    \
    TROVANTA_SERVER_EXPORT HRESULT DllCanUnloadNow()                                                     \
    {                                                                                                    \
        return comServerFunction().CanUnloadNow();                                                       \
    }                                                                                                    \
    TROVANTA_SERVER_EXPORT HRESULT DllRegisterServer()                                                   \
    {                                                                                                    \
        return comServerFunction().RegisterServer();                                                     \
    }                                                                                                    \
    TROVANTA_SERVER_EXPORT HRESULT DllUnregisterServer()                                                 \
    {                                                                                                    \
        return comServerFunction().UnregisterServer();                                                   \
    }
