#pragma once
// The COM objects of the options dialog: the pages collection that add-ins fill while the
// dialog is built, and the site the dialog gives each page.

#include <functional>
#include <string>
#include <vector>

#include "platform/outlook/Outlook.h"
#include "platform/outlook/PropertyPage.h"
#include "platform/ui/EmbeddedControl.h"

namespace host {

/// A page an add-in offered: the control created from its ProgID and the tab title.
struct OfferedPage {
    ComPtr<IUnknown> control;
    std::string title;
};

/// `PropertyPages` as the options-pages event hands it to the add-ins. `Add` creates the
/// page from its ProgID at once, so a class that is not registered fails the call.
class PropertyPagesCollection final : public ComObject<outlook::IPropertyPages> {
public:
    int Count() override { return static_cast<int>(pages_.size()); }
    void Add(const std::string& progID, const std::string& title) override;

    const std::vector<OfferedPage>& Pages() const { return pages_; }

private:
    std::vector<OfferedPage> pages_;
};

/// The dialog's site of one page: the page reaches `PropertyPageSite` through it.
class PageSite final : public ComObject<ui::IOleClientSite, outlook::IPropertyPageSite> {
public:
    explicit PageSite(std::function<void()> onStatusChange) : onStatusChange_(std::move(onStatusChange)) {}

    HRESULT OnStatusChange() override;
    /// The dialog goes away: later calls from the page reach nobody.
    void Detach() { onStatusChange_ = nullptr; }

private:
    std::function<void()> onStatusChange_;
};

}  // namespace host
