#pragma once
// The mail client's published interfaces of a page in its options dialog: the page answers
// `PropertyPage`; the dialog gives each page a `PropertyPageSite` (reached through the page's
// client site) that the page tells when it holds changes.

#include <cstdint>
#include <string>

#include "platform/com/Unknown.h"

namespace outlook {

/// Automation Booleans as the page interfaces carry them.
inline constexpr std::int16_t VARIANT_TRUE = -1;
inline constexpr std::int16_t VARIANT_FALSE = 0;

struct IPropertyPageSite : IUnknown {
    static constexpr IID iid = MakeGuid("{0006307F-0000-0000-C000-000000000046}");
    using Base = IUnknown;
    /// The page's `Dirty` changed; the dialog asks it again.
    virtual HRESULT OnStatusChange() = 0;
};

struct IPropertyPage : IUnknown {
    static constexpr IID iid = MakeGuid("{0006307E-0000-0000-C000-000000000046}");
    using Base = IUnknown;
    /// The help file and topic of the page ("" and 0 for none).
    virtual HRESULT GetPageInfo(std::string* helpFile, std::int32_t* helpContext) = 0;
    /// VARIANT_TRUE while the page holds changes not yet applied.
    virtual HRESULT Dirty(std::int16_t* dirty) = 0;
    /// Stores the page's changes; a failure code keeps the dialog open on the page.
    virtual HRESULT Apply() = 0;
};

}  // namespace outlook
