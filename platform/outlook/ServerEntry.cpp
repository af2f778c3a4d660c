// The in-process server library of the object model: ProgID "Outlook.Application".
// Each created application reads the configured stores from the registry, offers their mail
// accounts there and, as Outlook started by automation, carries the mail client's saved command
// bars in its explorer.

#include <memory>

#include "platform/com/ServerModule.h"
#include "platform/office/OutlookHost.h"
#include "platform/outlook/Application.h"
#include "platform/outlook/InstallFolder.h"
#include "platform/outlook/MailAccounts.h"
#include "platform/runtime/Registry.h"

namespace {

constexpr CLSID kApplicationClsid = MakeGuid("{6A1C0200-7E3B-4C55-9A0E-0B4D2F6E1200}");

ComPtr<IUnknown> CreateOutlookApplication(ServerModule& module)
{
    TRegistry registry;
    auto lock = std::make_shared<ModuleLock>(module);
    auto model = outlook::CreateApplication(outlook::LoadAndPublishConfig(registry), std::move(lock));
    return office::CreateAutomationOutlookApplication(std::move(model),
                                                      office::SavedExplorerCommandBarsFile())
        .As<IUnknown>();
}

/// The object model's registration also records the installation folder.
void RecordInstallation(const std::string& libraryPath, bool registered)
{
    TRegistry registry;
    outlook::RecordInstallDir(registry, libraryPath, registered);
}

ServerModule& Module()
{
    static ServerModule module(
        {{kApplicationClsid, "Outlook.Application", "Trovanta mail client object model over Maildir stores",
          CreateOutlookApplication}},
        RecordInstallation);
    return module;
}

}  // namespace

TROVANTA_SERVER_ENTRY_POINTS(Module)
