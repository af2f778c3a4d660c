// Uninstallation of an add-in's toolbars and controls from its hosts' command bars.

#include <vector>

#include "addin_framework/axpCommandBars.h"
#include "addin_framework/axpErrors.h"
#include "addin_framework/axpFactory.h"
#include "platform/office/HostApplications.h"
#include "platform/runtime/Registry.h"
#include "platform/runtime/Text.h"

namespace {

/// How many controls of one type and tag one pass deletes at most.
constexpr int MaxControlsPerItem = 9;

struct TControlItem {
    int Type;
    std::string Tag;
};

/// The items of "CtrlTags": "<type name>:<tag>\" each.
std::vector<TControlItem> SplitControlTags(std::string Rest)
{
    std::vector<TControlItem> items;
    while (!Trim(Rest).empty()) {
        std::string item = NextToken('\\', Rest);
        if (item.empty()) continue;
        const std::string typeName = NextToken(':', item);
        items.push_back({ControlTypeFromTag(typeName), item});
    }
    return items;
}

/// Deletes the controls of the items, last to first: the controls that are no popups first,
/// then the popups (which may hold the others).
void DeleteControls(const ComPtr<office::_CommandBars>& CommandBars, const std::vector<TControlItem>& Items)
{
    for (const bool popups : {false, true}) {
        for (auto item = Items.rbegin(); item != Items.rend(); ++item) {
            // An empty tag would name every control without one, the user's own among them.
            if (item->Tag.empty() || (item->Type == office::msoControlPopup) != popups) continue;
            for (int pass = 0; pass < MaxControlsPerItem; ++pass) {
                const auto control = FindControlByTag(CommandBars, item->Type, item->Tag);
                if (!control || (control->Type() == office::msoControlPopup) != popups) break;
                control->Delete(false);
            }
        }
    }
}

/// Deletes the listed toolbars that hold no control any more.
void DeleteEmptyBars(const ComPtr<office::_CommandBars>& CommandBars, std::string Rest)
{
    while (!Trim(Rest).empty()) {
        const std::string name = NextToken('\\', Rest);
        if (name.empty()) continue;
        const auto bar = FindCommandBar(name, CommandBars);
        if (bar && bar->Controls()->Count() == 0) bar->Delete();
    }
}

/// Quits a host that was started for the uninstallation.
void QuitHost(const ComPtr<IDispatch>& App)
{
    if (const auto application = App.As<office::IOfficeApplication>()) application->Quit();
}

}  // namespace

void TaxpFactory::RemoveControls(const ComPtr<IDispatch>& HostApp)
{
    for (std::uint8_t host = 0; host < HostCount; ++host) {
        if (!HostInSet(HostSet, host) || !IsHostInstalled(host) || host == hiMapPoint) continue;
        try {
            RemoveHostControls(host, HostApp);
        } catch (const std::exception&) {
            RaiseUnregisterControls();
        }
    }
}

void TaxpFactory::RemoveHostControls(std::uint8_t Host, const ComPtr<IDispatch>& HostApp)
{
    std::string cmdBars;
    std::string ctrlTags;
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        if (reg.OpenKey(GetAddInKey(Host), false)) {
            cmdBars = reg.ReadString("CmdBars");
            ctrlTags = reg.ReadString("CtrlTags");
            reg.WriteString("ADXStartMode", StartModeNames[smUninstall]);
            reg.WriteInteger("LoadBehavior", 0);
        }
    }
    ComPtr<IDispatch> app = HostApp;
    bool started = false;
    if (!app) {
        app = GetRunningHostObject(HostTable[Host].ProgID);
        if (!app) {
            app = CreateHostObject(HostTable[Host].ProgID);
            started = true;
        }
    }
    try {
        if (const auto commandBars = GetHostCommandBars(Host, app)) {
            DeleteControls(commandBars, SplitControlTags(ctrlTags));
            DeleteEmptyBars(commandBars, cmdBars);
        }
    } catch (const std::exception&) {
        if (started) {
            try {
                QuitHost(app);
            } catch (const std::exception&) {
                // The first failure is the one reported.
            }
        }
        throw;
    }
    if (started) QuitHost(app);
}
