#include "addin_framework/axpComServer.h"

#include "addin_framework/axpAddIn.h"
#include "addin_framework/axpFactory.h"
#include "addin_framework/axpModule.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ErrorInfo.h"
#include "platform/runtime/Exception.h"

namespace {

/// A function of this library: its address names the library the framework is linked into.
void ServerAnchor() {}

template <class F>
HRESULT RegistrationCall(F&& body) noexcept
{
    try {
        const TRegistrationScope scope;
        body();
        return S_OK;
    } catch (const std::exception& e) {
        SetErrorInfo({e.what(), {}, {}});
        return E_FAIL;
    } catch (...) {
        SetErrorInfo({HResultMessage(E_FAIL), {}, {}});
        return E_FAIL;
    }
}

}  // namespace

TaxpComServer::TaxpComServer(std::string TypeLibraryName, std::vector<ServerClass> OtherClasses)
    : FTypeLibraryName(std::move(TypeLibraryName)), FOtherClasses(std::move(OtherClasses))
{
}

void TaxpComServer::AddFactory(TaxpFactory& Factory)
{
    if (FModule) throw Exception("An add-in factory was made after the library's COM server was in use.");
    FFactories.push_back(&Factory);
}

ServerModule& TaxpComServer::Module()
{
    std::call_once(FBuilt, [this] {
        std::vector<ServerClass> classes;
        for (TaxpFactory* factory : FFactories) {
            classes.push_back({factory->ClassID(), factory->ProgID(), factory->Description,
                               [factory](ServerModule& module) -> ComPtr<IUnknown> {
                                   return factory->CreateAddIn(module).As<IUnknown>();
                               }});
        }
        classes.insert(classes.end(), FOtherClasses.begin(), FOtherClasses.end());
        FModule.emplace(std::move(classes));
    });
    return *FModule;
}

std::string TaxpComServer::ServerFileName()
{
    return LibraryPathOf(reinterpret_cast<const void*>(&ServerAnchor));
}

HRESULT TaxpComServer::GetClassObject(const CLSID& clsid, const IID& riid, void** object) noexcept
{
    try {
        return Module().GetClassObject(clsid, riid, object);
    } catch (const std::exception&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT TaxpComServer::CanUnloadNow() noexcept
{
    try {
        return Module().CanUnloadNow();
    } catch (const std::exception&) {
        return S_FALSE;
    }
}

HRESULT TaxpComServer::RegisterServer() noexcept
{
    return RegistrationCall([&] {
        for (TaxpFactory* factory : FFactories) factory->UpdateRegistry(true);
        const std::string path = ServerFileName();
        for (const auto& cls : FOtherClasses)
            RegisterInprocServer(cls.clsid, cls.progID, cls.description, path);
    });
}

HRESULT TaxpComServer::UnregisterServer() noexcept
{
    return RegistrationCall([&] {
        for (TaxpFactory* factory : FFactories) factory->UpdateRegistry(false);
        for (const auto& cls : FOtherClasses) UnregisterInprocServer(cls.clsid, cls.progID);
    });
}
