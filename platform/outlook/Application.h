#pragma once
// The application object over Maildir stores, and what the mail client host (and tests)
// may set on it beyond the object model: the explorer with its folder and selection, the
// folder picker, and the raising of the application's events.

#include <functional>
#include <memory>
#include <vector>

#include "platform/outlook/Outlook.h"
#include "platform/outlook/StoreConfig.h"

namespace outlook {

/// Reached by `As<IApplicationHost>()` on the application object.
struct IApplicationHost : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0110-7E3B-4C55-9A0E-0B4D2F6E1110}");
    using Base = IUnknown;
    /// Shows `folder` with `selection` in the (one) explorer; an empty folder closes it.
    virtual void SetExplorer(const ComPtr<IMAPIFolder>& folder, std::vector<ComPtr<IOutlookItem>> selection) = 0;
    /// What `PickFolder` asks; without one it answers none.
    virtual void SetFolderPicker(std::function<ComPtr<IMAPIFolder>()> picker) = 0;
    /// Raises ItemSend on every sink; true when one of them cancelled the send.
    virtual bool RaiseItemSend(const ComPtr<IOutlookItem>& item) = 0;
    virtual void RaiseOptionsPagesAdd(const ComPtr<IPropertyPages>& pages) = 0;
};

/// A new application object over the configured stores. `keepAlive` is held until the
/// last object made through it ends (a server library passes its module lock).
ComPtr<IOutlookApplication> CreateApplication(const ApplicationConfig& config, std::shared_ptr<void> keepAlive = nullptr);

}  // namespace outlook
