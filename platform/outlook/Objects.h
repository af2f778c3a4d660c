#pragma once
// Internal wiring of the object model: what every object needs to make its neighbours,
// the interfaces by which objects of this module find each other's state, and the
// factories of the collection objects.

#include <memory>
#include <string>
#include <vector>

#include "platform/outlook/Outlook.h"
#include "platform/outlook/Store.h"

namespace outlook {

class ConvertAhead;

/// The session's stores, the namespace above the top-level folders and what converts the
/// messages of a walk ahead of it (none for items opened from files).
struct ObjectContext {
    SessionPtr session;
    ComPtr<INameSpace> ns;
    std::shared_ptr<ConvertAhead> ahead;
};

/// Implemented by this module's folders: the folder state behind the interface.
struct IFolderAccess : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0201-7E3B-4C55-9A0E-0B4D2F6E1201}");
    using Base = IUnknown;
    virtual FolderStatePtr State() = 0;
};

/// Implemented by this module's items.
struct IItemAccess : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0202-7E3B-4C55-9A0E-0B4D2F6E1202}");
    using Base = IUnknown;
    virtual ItemImpl& Impl() = 0;
};

ComPtr<IMAPIFolder> MakeFolderObject(const ObjectContext& context, const FolderStatePtr& folder);
ComPtr<IFolders> MakeSubfolders(const ObjectContext& context, Store& store, std::string path);
ComPtr<IFolders> MakeStoreFolders(const ObjectContext& context);
ComPtr<IItems> MakeFolderItems(const ObjectContext& context, FolderStatePtr folder);
ComPtr<IItems> MakeSelection(std::vector<ComPtr<IOutlookItem>> items);

/// The folder state behind a folder of this module; raises ComError for a foreign one.
FolderStatePtr StateOf(const ComPtr<IMAPIFolder>& folder);

/// Raises ComError for an index outside 1..count.
void CheckIndex(int index, std::size_t count);

}  // namespace outlook
