#pragma once
// A small in-memory folder tree behind the mail client's interfaces, for the tests of the
// folder tools and of job validation: folders with names and identifiers, a namespace that
// finds them by identifier, and an explorer with a current folder and a selection.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/com/ComError.h"
#include "platform/outlook/Outlook.h"

namespace test {

class FakeFolder;

class FakeFolders final : public ComObject<outlook::IFolders> {
public:
    explicit FakeFolders(ComPtr<FakeFolder> owner) : owner_(std::move(owner)) {}
    int Count() override;
    ComPtr<outlook::IMAPIFolder> Item(int index) override;
    ComPtr<outlook::IMAPIFolder> Add(const std::string& name) override;

private:
    ComPtr<FakeFolder> owner_;
};

/// A folder; its EntryID is its path below the store ("Inbox/Projects"), its StoreID the
/// store's name. The parent of a top-level folder is the namespace (`top`).
class FakeFolder final : public ComObject<outlook::IMAPIFolder> {
public:
    /// `parent` is not owned: the tree is owned from the top down, so it has no cycles.
    FakeFolder(std::string name, std::string entry, std::string store, outlook::IOutlookObject* parent)
        : name_(std::move(name)), entry_(std::move(entry)), store_(std::move(store)), parent_(parent)
    {
    }
    int Class() override { return outlook::olFolder; }
    ComPtr<outlook::IOutlookObject> Parent() override
    {
        return ComPtr<outlook::IOutlookObject>::Retain(parent_);
    }
    std::string Name() override { return name_; }
    std::string EntryID() override { return entry_; }
    std::string StoreID() override { return store_; }
    ComPtr<outlook::IItems> Items() override { throw ComError(E_NOTIMPL); }
    ComPtr<outlook::IFolders> Folders() override
    {
        return MakeCom<FakeFolders>(ComPtr<FakeFolder>::Retain(this));
    }

    /// Adds a subfolder and returns it.
    ComPtr<FakeFolder> AddChild(const std::string& name)
    {
        const std::string entry = entry_.empty() ? name : entry_ + "/" + name;
        children_.push_back(MakeCom<FakeFolder>(name, entry, store_, this));
        ++adds;
        return children_.back();
    }
    const std::vector<ComPtr<FakeFolder>>& Children() const { return children_; }
    /// Folders.Add calls made.
    int adds = 0;

private:
    std::string name_;
    std::string entry_;
    std::string store_;
    outlook::IOutlookObject* parent_;
    std::vector<ComPtr<FakeFolder>> children_;
};

inline int FakeFolders::Count()
{
    return static_cast<int>(owner_->Children().size());
}
inline ComPtr<outlook::IMAPIFolder> FakeFolders::Item(int index)
{
    return owner_->Children().at(static_cast<std::size_t>(index - 1));
}
inline ComPtr<outlook::IMAPIFolder> FakeFolders::Add(const std::string& name)
{
    return owner_->AddChild(name);
}

class FakeItems final : public ComObject<outlook::IItems> {
public:
    explicit FakeItems(int count) : count_(count) {}
    int Count() override { return count_; }
    ComPtr<outlook::IOutlookItem> Item(int) override { throw ComError(E_NOTIMPL); }

private:
    int count_;
};

class FakeExplorer final : public ComObject<outlook::IExplorer> {
public:
    ComPtr<outlook::IMAPIFolder> CurrentFolder() override { return current; }
    ComPtr<outlook::IItems> Selection() override { return selection; }
    ComPtr<outlook::IMAPIFolder> current;
    ComPtr<outlook::IItems> selection;
};

/// The namespace and the application in one: GetFolderFromID finds the folders of the stores
/// added with AddStore; an unknown identifier raises ComError as the client does, and
/// `emptyEntry` gives no folder at all, which a real store never does. It must
/// outlive the folders it hands out (their parents point to it without owning it).
class FakeOutlook final : public ComObject<outlook::IOutlookApplication, outlook::INameSpace> {
public:
    // IOutlookObject (namespace)
    int Class() override { return outlook::olNamespace; }
    ComPtr<outlook::IOutlookObject> Parent() override { return nullptr; }
    // INameSpace
    ComPtr<outlook::IMAPIFolder> GetFolderFromID(const std::string& entryID,
                                                 const std::string& storeID) override
    {
        ++lookups;
        if (entryID == emptyEntry) return nullptr;
        for (const auto& store : stores_) {
            if (store->StoreID() != storeID) continue;
            if (auto found = Find(store, entryID)) return found;
        }
        throw ComError(E_FAIL, "The operation failed.");
    }
    ComPtr<outlook::IMAPIFolder> GetDefaultFolder(int) override { return stores_.at(0); }
    ComPtr<outlook::IMAPIFolder> PickFolder() override { return nullptr; }
    ComPtr<outlook::IFolders> Folders() override { throw ComError(E_NOTIMPL); }
    // IOutlookApplication
    ComPtr<outlook::INameSpace> GetNamespace(const std::string&) override
    {
        return ComPtr<outlook::INameSpace>::Retain(this);
    }
    ComPtr<outlook::IExplorer> ActiveExplorer() override { return explorer; }
    ComPtr<outlook::IExplorers> Explorers() override { return nullptr; }
    ComPtr<outlook::IOutlookItem> CreateItemFromTemplate(const std::string&) override { return nullptr; }
    std::uint32_t AdviseEvents(const ComPtr<outlook::IApplicationEvents>&) override { return 0; }
    void UnadviseEvents(std::uint32_t) override {}

    /// A store's top-level folder, named like the store.
    ComPtr<FakeFolder> AddStore(const std::string& name)
    {
        stores_.push_back(MakeCom<FakeFolder>(name, "", name, static_cast<outlook::INameSpace*>(this)));
        return stores_.back();
    }
    ComPtr<FakeExplorer> explorer;
    int lookups = 0;
    /// An identifier for which GetFolderFromID answers without a folder and without an error.
    std::string emptyEntry = "(empty)";

private:
    static ComPtr<FakeFolder> Find(const ComPtr<FakeFolder>& folder, const std::string& entry)
    {
        if (folder->EntryID() == entry) return folder;
        for (const auto& child : folder->Children()) {
            if (auto found = Find(child, entry)) return found;
        }
        return nullptr;
    }
    std::vector<ComPtr<FakeFolder>> stores_;
};

}  // namespace test
