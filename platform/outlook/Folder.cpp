// Folders, the folder lists and the live item collections.

#include "platform/outlook/ConvertAhead.h"
#include "platform/outlook/Errors.h"
#include "platform/outlook/Item.h"
#include "platform/outlook/Objects.h"

namespace outlook {

namespace {

std::string ParentPath(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string ChildPath(const std::string& parent, const std::string& name)
{
    const std::string encoded = EncodeFolderName(name);
    return parent.empty() ? encoded : parent + "/" + encoded;
}

class FolderImpl final : public ComObject<IMAPIFolder, IFolderAccess> {
public:
    FolderImpl(ObjectContext context, const FolderStatePtr& folder)
        : context_(std::move(context)), folder_(folder->shared_from_this())
    {
    }

    int Class() override { return olFolder; }
    ComPtr<IOutlookObject> Parent() override
    {
        if (folder_->Path().empty()) return context_.ns;
        auto parent = folder_->OwnerStore().Folder(ParentPath(folder_->Path()));
        if (!parent) return context_.ns;
        return MakeFolderObject(context_, parent);
    }
    std::string Name() override
    {
        const auto& path = folder_->Path();
        if (path.empty()) return folder_->OwnerStore().DisplayName();
        return DecodeFolderName(path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1));
    }
    std::string EntryID() override { return HexEncode(folder_->Path()); }
    std::string StoreID() override { return HexEncode(folder_->OwnerStore().DisplayName()); }
    ComPtr<IItems> Items() override
    {
        FolderStatePtr folder = folder_->Lease();
        folder->Sync();
        return MakeFolderItems(context_, std::move(folder));
    }
    ComPtr<IFolders> Folders() override { return MakeSubfolders(context_, folder_->OwnerStore(), folder_->Path()); }
    FolderStatePtr State() override { return folder_->Lease(); }

private:
    ObjectContext context_;
    // Not a lease: a folder object keeps no message list in memory, so a walk that holds the
    // folders above the one it reads holds only the list it reads.
    std::shared_ptr<FolderState> folder_;
};

class SubfoldersImpl final : public ComObject<IFolders> {
public:
    SubfoldersImpl(ObjectContext context, Store& store, std::string path)
        : context_(std::move(context)), store_(store), path_(std::move(path))
    {
    }

    int Count() override { return static_cast<int>(store_.ChildNames(path_).size()); }
    ComPtr<IMAPIFolder> Item(int index) override
    {
        const auto names = store_.ChildNames(path_);
        CheckIndex(index, names.size());
        auto folder = store_.Folder(ChildPath(path_, names[static_cast<std::size_t>(index - 1)]));
        if (!folder) Fail("The folder no longer exists.");
        return MakeFolderObject(context_, folder);
    }
    ComPtr<IMAPIFolder> Add(const std::string& name) override
    {
        return MakeFolderObject(context_, store_.CreateFolder(path_, name));
    }

private:
    ObjectContext context_;
    Store& store_;
    std::string path_;
};

/// The top-level folders: the root folder of every store.
class StoreFoldersImpl final : public ComObject<IFolders> {
public:
    explicit StoreFoldersImpl(ObjectContext context) : context_(std::move(context)) {}

    int Count() override { return static_cast<int>(context_.session->Stores().size()); }
    ComPtr<IMAPIFolder> Item(int index) override
    {
        const auto& stores = context_.session->Stores();
        CheckIndex(index, stores.size());
        return MakeFolderObject(context_, stores[static_cast<std::size_t>(index - 1)]->Folder(""));
    }
    ComPtr<IMAPIFolder> Add(const std::string&) override { Fail("A store cannot be added here."); }

private:
    ObjectContext context_;
};

class FolderItemsImpl final : public ComObject<IItems> {
public:
    FolderItemsImpl(ObjectContext context, FolderStatePtr folder) : context_(std::move(context)), folder_(std::move(folder)) {}

    int Count() override { return static_cast<int>(folder_->Records().Size()); }
    ComPtr<IOutlookItem> Item(int index) override
    {
        auto& records = folder_->Records();
        CheckIndex(index, records.Size());
        if (context_.ahead) context_.ahead->Walked(folder_, index);
        return ItemImpl::ForRecord(context_, folder_, records.At(static_cast<std::size_t>(index - 1)));
    }

private:
    ObjectContext context_;
    FolderStatePtr folder_;
};

class SelectionImpl final : public ComObject<IItems> {
public:
    explicit SelectionImpl(std::vector<ComPtr<IOutlookItem>> items) : items_(std::move(items)) {}

    int Count() override { return static_cast<int>(items_.size()); }
    ComPtr<IOutlookItem> Item(int index) override
    {
        CheckIndex(index, items_.size());
        return items_[static_cast<std::size_t>(index - 1)];
    }

private:
    std::vector<ComPtr<IOutlookItem>> items_;
};

}  // namespace

void CheckIndex(int index, std::size_t count)
{
    if (index < 1 || static_cast<std::size_t>(index) > count) Fail("Array index out of bounds.");
}

ComPtr<IMAPIFolder> MakeFolderObject(const ObjectContext& context, const FolderStatePtr& folder)
{
    return MakeCom<FolderImpl>(context, folder);
}

ComPtr<IFolders> MakeSubfolders(const ObjectContext& context, Store& store, std::string path)
{
    return MakeCom<SubfoldersImpl>(context, store, std::move(path));
}

ComPtr<IFolders> MakeStoreFolders(const ObjectContext& context) { return MakeCom<StoreFoldersImpl>(context); }

ComPtr<IItems> MakeFolderItems(const ObjectContext& context, FolderStatePtr folder)
{
    return MakeCom<FolderItemsImpl>(context, std::move(folder));
}

ComPtr<IItems> MakeSelection(std::vector<ComPtr<IOutlookItem>> items)
{
    return MakeCom<SelectionImpl>(std::move(items));
}

FolderStatePtr StateOf(const ComPtr<IMAPIFolder>& folder)
{
    const auto access = folder.As<IFolderAccess>();
    if (!access) Fail("The folder does not belong to this mail store.");
    return access->State();
}

}  // namespace outlook
