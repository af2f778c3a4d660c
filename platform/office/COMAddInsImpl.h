#pragma once
// An in-process implementation of a host's add-in list (`COMAddIns`): the host adds an
// entry for each add-in it knows and removes it when the user takes the add-in off the list.

#include <string>

#include "platform/office/AddIns.h"

namespace office {

/// What the host does with a list made here; reached by `As<ICOMAddInsHost>()`.
struct ICOMAddInsHost : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0331-7E3B-4C55-9A0E-0B4D2F6E1331}");
    using Base = IUnknown;
    /// Appends an entry (not connected) and returns it; when an entry of `progID` exists
    /// (compared ignoring case) that entry is returned unchanged.
    virtual ComPtr<COMAddIn> Add(const std::string& progID, const std::string& description,
                                 const std::string& guid) = 0;
    /// Removes the entry of `progID`; false when there was none.
    virtual bool Remove(const std::string& progID) = 0;
};

/// A new, empty list.
ComPtr<COMAddIns> CreateCOMAddIns();

}  // namespace office
