#include "addin_framework/axpCommandBars.h"

#include "addin_framework/axpHosts.h"
#include "platform/office/HostApplications.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Text.h"

int ControlTypeFromTag(std::string_view Name)
{
    const std::string upper = UpperCase(Name);
    for (const auto& type : ControlTypes)
        if (upper == type.Name) return type.OfficeType;
    return office::msoControlButton;
}

namespace {

const TControlTypeInfo& ControlTypeAt(std::uint8_t TypeIndex)
{
    if (TypeIndex >= ControlTypes.size())
        throw Exception("Control type index " + std::to_string(TypeIndex) + " is out of range.");
    return ControlTypes[TypeIndex];
}

ComPtr<office::_CommandBars> OutlookCommandBars(const ComPtr<IDispatch>& App)
{
    const auto outlook = App.As<office::OutlookApplication>();
    if (!outlook) return {};
    if (outlook->InspectorWindows()->Count() > 0 || outlook->ExplorerWindows()->Count() > 0) {
        if (const auto window = outlook->ActiveWindow()) return window->CommandBars();
    }
    return {};
}

}  // namespace

std::string ControlTypeName(std::uint8_t TypeIndex)
{
    return ControlTypeAt(TypeIndex).Name;
}

int OfficeControlType(std::uint8_t TypeIndex)
{
    return ControlTypeAt(TypeIndex).OfficeType;
}

ComPtr<office::_CommandBars> GetHostCommandBars(std::uint8_t Host, const ComPtr<IDispatch>& App)
{
    if (Host == hiOutlook) return OutlookCommandBars(App);
    if (Host == hiMapPoint) return {};
    try {
        const auto application = App.As<office::IOfficeApplication>();
        return application ? application->CommandBars() : nullptr;
    } catch (const std::exception&) {
        return {};
    }
}

ComPtr<office::CommandBar> FindCommandBar(const std::string& Name,
                                          const ComPtr<office::_CommandBars>& CommandBars)
{
    if (!CommandBars) return {};
    const std::string upper = UpperCase(Name);
    const int count = CommandBars->Count();
    for (int i = 1; i <= count; ++i) {
        auto bar = CommandBars->Item(i);
        if (UpperCase(bar->Name()) == upper || UpperCase(bar->NameLocal()) == upper) return bar;
    }
    return {};
}

ComPtr<office::CommandBarControl> FindControlByTag(const ComPtr<office::_CommandBars>& CommandBars, int Type,
                                                   const std::string& Tag)
{
    return CommandBars->FindControl(Type, std::nullopt, Tag, std::nullopt);
}

bool SameObject(IUnknown* a, IUnknown* b)
{
    if (!a || !b) return a == b;
    ComPtr<IUnknown> ia;
    ComPtr<IUnknown> ib;
    a->QueryInterface(IUnknown::iid, ia.PutVoid());
    b->QueryInterface(IUnknown::iid, ib.PutVoid());
    return ia.Get() == ib.Get();
}
