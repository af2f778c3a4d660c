#include "addin_framework/axpModule.h"

#include <iostream>

namespace {

std::uint8_t gCurrentHost = 0;
bool gLoadedForRegistration = false;

/// Without a window system of its own the framework reports to stderr; a question cannot be
/// asked there, so it is answered Ignore (go on).
class TConsoleUserInterface final : public TaxpUserInterface {
public:
    void ShowError(const std::string& Text, const std::string& Caption) override
    {
        std::cerr << Caption << ": " << Text << '\n';
    }
    TaxpModalResult AskCancelRetryIgnore(const std::string& Text, const std::string& Caption) override
    {
        std::cerr << Caption << ": " << Text << '\n';
        return mrIgnore;
    }
};

std::unique_ptr<TaxpUserInterface>& Installed()
{
    static std::unique_ptr<TaxpUserInterface> installed;
    return installed;
}

}  // namespace

TLibraryApplication& LibraryApplication()
{
    static TLibraryApplication application;
    return application;
}

std::uint8_t CurrentHost()
{
    return gCurrentHost;
}
void SetCurrentHost(std::uint8_t Host)
{
    gCurrentHost = Host;
}

bool LoadedForRegistration()
{
    return gLoadedForRegistration;
}

TRegistrationScope::TRegistrationScope() : FPrevious(gLoadedForRegistration)
{
    gLoadedForRegistration = true;
}
TRegistrationScope::~TRegistrationScope()
{
    gLoadedForRegistration = FPrevious;
}

std::uintptr_t FindThreadWindow(const std::string&)
{
    return 0;
}

TaxpUserInterface& AddInUserInterface()
{
    static TConsoleUserInterface console;
    if (const auto& installed = Installed()) return *installed;
    return console;
}

std::unique_ptr<TaxpUserInterface> SetAddInUserInterface(std::unique_ptr<TaxpUserInterface> Next)
{
    std::swap(Installed(), Next);
    return Next;
}
