#include "platform/host/PageObjects.h"

#include "platform/com/ComRuntime.h"

namespace host {

void PropertyPagesCollection::Add(const std::string& progID, const std::string& title)
{
    ComPtr<IUnknown> control = CreateOleObject<IUnknown>(progID);
    if (!control.As<outlook::IPropertyPage>())
        throw ComError(E_NOINTERFACE, "The class \"" + progID + "\" is no options page.");
    pages_.push_back({std::move(control), title});
}

HRESULT PageSite::OnStatusChange()
{
    if (onStatusChange_) onStatusChange_();
    return S_OK;
}

}  // namespace host
