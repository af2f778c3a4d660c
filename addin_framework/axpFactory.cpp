#include "addin_framework/axpFactory.h"

#include <fmt/format.h>

#include "addin_framework/axpAddIn.h"
#include "addin_framework/axpComServer.h"
#include "addin_framework/axpErrors.h"
#include "addin_framework/axpProcessList.h"
#include "platform/com/ClassRegistry.h"
#include "platform/runtime/Registry.h"
#include "platform/runtime/Text.h"

namespace {

/// The current user's registry, as the add-in keys need it.
std::unique_ptr<TRegistry> CurrentUser()
{
    auto reg = std::make_unique<TRegistry>();
    reg->SetRootKey(HKEY_CURRENT_USER);
    return reg;
}

std::string ExcelOptionsKey(int Version)
{
    return fmt::format("\\Software\\Microsoft\\Office\\{}.0\\Excel\\Options", Version);
}

}  // namespace

TaxpFactory::TaxpFactory(TaxpComServer& ComServer, TaxpAddInClass AddInClass, const CLSID& ClassID,
                         THostSet HostSet, std::string FriendlyName, std::string Description,
                         int LoadBehavior, bool AskCloseHosts, bool ExcelOpen)
    : FriendlyName(std::move(FriendlyName)),
      Description(std::move(Description)),
      HostSet(HostSet),
      LoadBehavior(LoadBehavior),
      AskCloseHosts(AskCloseHosts),
      ExcelOpen(ExcelOpen),
      FComServer(ComServer),
      FAddInClass(std::move(AddInClass)),
      FClassID(ClassID),
      FProgID(ComServer.TypeLibraryName() + "." + FAddInClass.Name)
{
    FComServer.AddFactory(*this);
}

ComPtr<TaxpAddIn> TaxpFactory::CreateAddIn(ServerModule& Module)
{
    return FAddInClass.Create(*this, Module);
}

void TaxpFactory::UpdateRegistry(bool Register)
{
    if (AskCloseHosts) ConfirmNoHostRuns();
    if (Register) {
        RegisterInprocServer(FClassID, FProgID, Description, TaxpComServer::ServerFileName());
        RegisterAddIn();
    } else {
        RemoveControls(nullptr);
        UnregisterAddIn();
        UnregisterInprocServer(FClassID, FProgID);
    }
}

// Asks until no enabled, installed host runs, or the user answers Ignore.
void TaxpFactory::ConfirmNoHostRuns()
{
    for (;;) {
        std::string list;
        {
            const TProcessList processes;
            for (std::uint8_t host = 0; host < HostCount; ++host) {
                if (HostInSet(HostSet, host) && IsHostInstalled(host) &&
                    processes.Contains(HostTable[host].ExeName))
                    list += std::string(HostTable[host].Name) + " ";
            }
        }
        if (list.empty()) return;
        const TaxpModalResult answer = ConfirmHostsClosed(list, FriendlyName);
        if (answer == mrCancel) RaiseRegistrationCanceled();
        if (answer == mrIgnore) return;
    }
}

TaxpModalResult ConfirmHostsClosed(const std::string& List, const std::string& Caption)
{
    return AddInUserInterface().AskCancelRetryIgnore(
        "Please close all running host application instances:\r\n" + List, Caption);
}

void TaxpFactory::RegisterAddIn()
{
    for (std::uint8_t host = 0; host < HostCount; ++host) {
        if (!HostInSet(HostSet, host) || !IsHostInstalled(host)) continue;
        auto reg = CurrentUser();
        TRegistryTransaction transaction(*reg);
        if (reg->OpenKey(GetAddInKey(host), true)) {
            reg->WriteString("FriendlyName", FriendlyName);
            reg->WriteString("Description", Description);
            reg->WriteInteger("LoadBehavior", LoadBehavior);
            reg->WriteInteger("CommandLineSafe", 0);
            reg->WriteString("CmdBars", "");
            reg->WriteString("CtrlTags", "");
            reg->WriteString("ADXStartMode", StartModeNames[smFirstStart]);
            reg->CloseKey();
        }
        transaction.Commit();
        if (host == hiExcel && ExcelOpen) RegisterExcelOpen();
    }
}

void TaxpFactory::RegisterExcelOpen()
{
    const int version = GetHostVersion(HostTable[hiExcel].ProgID);
    auto reg = CurrentUser();
    if (version <= 9 || !reg->OpenKey(ExcelOptionsKey(version), false)) return;
    const std::string name = NextExcelOpenName(reg->GetValueNames());
    reg->WriteString(name, "/A \"" + FProgID + "\"");
}

void TaxpFactory::UnregisterAddIn()
{
    for (std::uint8_t host = 0; host < HostCount; ++host) {
        if (!HostInSet(HostSet, host) || !IsHostInstalled(host)) continue;
        auto reg = CurrentUser();
        reg->DeleteKey(GetAddInKey(host));
        if (host == hiExcel && ExcelOpen) UnregisterExcelOpen();
    }
}

void TaxpFactory::UnregisterExcelOpen()
{
    const int version = GetHostVersion(HostTable[hiExcel].ProgID);
    auto reg = CurrentUser();
    if (version <= 9 || !reg->OpenKey(ExcelOptionsKey(version), false)) return;
    for (const auto& name : reg->GetValueNames()) {
        if (UpperCase(name).rfind("OPEN", 0) == 0 && reg->ReadString(name).find(FProgID) != std::string::npos)
            reg->DeleteValue(name);
    }
}

void TaxpFactory::AddCommandBarName(std::uint8_t Host, const std::string& Name)
{
    AppendToList(Host, "CmdBars", Name);
}

void TaxpFactory::AddControlTag(std::uint8_t Host, const std::string& Item)
{
    AppendToList(Host, "CtrlTags", Item);
}

// The test for an item already listed is a test for its text anywhere in the list.
void TaxpFactory::AppendToList(std::uint8_t Host, const char* ValueName, const std::string& Item)
{
    auto reg = CurrentUser();
    if (!reg->OpenKey(GetAddInKey(Host), false)) return;
    const std::string list = reg->ReadString(ValueName);
    if (list.find(Item + "\\") == std::string::npos) reg->WriteString(ValueName, list + Item + "\\");
}

std::string TaxpFactory::GetAddInKey(std::uint8_t Host) const
{
    const THostInfo& info = HostTable.at(Host);
    const char* form = info.KeyForm == TAddInKeyForm::Office ? "\\Software\\Microsoft\\Office\\{}\\AddIns\\{}"
                                                             : "\\Software\\Microsoft\\{}\\AddIns\\{}";
    return fmt::format(fmt::runtime(form), info.Name, FProgID);
}

std::string TaxpFactory::ReadAddInValue(std::uint8_t Host, const std::string& Name) const
{
    auto reg = CurrentUser();
    if (!reg->OpenKeyReadOnly(GetAddInKey(Host))) return {};
    return reg->ReadString(Name);
}

void TaxpFactory::WriteAddInValue(std::uint8_t Host, const std::string& Name, const std::string& Value) const
{
    auto reg = CurrentUser();
    if (reg->OpenKey(GetAddInKey(Host), false)) reg->WriteString(Name, Value);
}

bool TaxpFactory::IsHostInstalled(std::uint8_t Host)
{
    CLSID clsid;
    return SUCCEEDED(CLSIDFromProgID(HostTable.at(Host).ProgID, &clsid)) && clsid != GUID_NULL;
}
