#include "platform/outlook/Application.h"

#include <map>

#include "platform/outlook/ConvertAhead.h"
#include "platform/outlook/Errors.h"
#include "platform/outlook/Item.h"
#include "platform/outlook/MessageFiles.h"
#include "platform/outlook/Objects.h"

#ifdef TROVANTA_HAVE_MSGFILE
#include "platform/outlook/msg/MsgFile.h"
#endif

namespace outlook {

namespace {

class NamespaceImpl final : public ComObject<INameSpace> {
public:
    NamespaceImpl(SessionPtr session, std::function<ComPtr<IMAPIFolder>()>& picker)
        : session_(std::move(session)), picker_(picker)
    {
    }

    int Class() override { return olNamespace; }
    ComPtr<IOutlookObject> Parent() override { return nullptr; }
    ComPtr<IMAPIFolder> GetFolderFromID(const std::string& entryID, const std::string& storeID) override;
    ComPtr<IMAPIFolder> GetDefaultFolder(int folderType) override
    {
        Store& store = session_->DefaultStore();
        if (folderType == olFolderInbox) return MakeFolderObject(Context(), store.TopLevelFolder(kInbox));
        if (folderType == olFolderSentMail) return MakeFolderObject(Context(), store.TopLevelFolder(kSentItemsNames));
        Fail("The default folder " + std::to_string(folderType) + " is not available.");
    }
    ComPtr<IMAPIFolder> PickFolder() override { return picker_ ? picker_() : nullptr; }
    ComPtr<IFolders> Folders() override { return MakeStoreFolders(Context()); }

private:
    ObjectContext Context() { return {session_, ComPtr<INameSpace>::Retain(this), ahead_}; }

    SessionPtr session_;
    std::shared_ptr<ConvertAhead> ahead_ = std::make_shared<ConvertAhead>();
    std::function<ComPtr<IMAPIFolder>()>& picker_;  // owned by the application, which outlives us
};

ComPtr<IMAPIFolder> NamespaceImpl::GetFolderFromID(const std::string& entryID, const std::string& storeID)
{
    const auto path = HexDecode(entryID);
    const auto storeName = HexDecode(storeID);
    if (!path || !storeName) Fail("The folder identifier is not valid.");
    Store* store = storeName->empty() ? &session_->DefaultStore() : session_->FindStore(*storeName);
    if (!store) Fail("The mail store \"" + *storeName + "\" is not available.");
    auto folder = store->Folder(*path);
    if (!folder) Fail("The folder \"" + *path + "\" does not exist in \"" + store->DisplayName() + "\".");
    return MakeFolderObject(Context(), folder);
}

class ExplorerImpl final : public ComObject<IExplorer> {
public:
    ExplorerImpl(ComPtr<IMAPIFolder> folder, std::vector<ComPtr<IOutlookItem>> selection)
        : folder_(std::move(folder)), selection_(std::move(selection))
    {
    }
    ComPtr<IMAPIFolder> CurrentFolder() override { return folder_; }
    ComPtr<IItems> Selection() override { return MakeSelection(selection_); }

private:
    ComPtr<IMAPIFolder> folder_;
    std::vector<ComPtr<IOutlookItem>> selection_;
};

class ExplorersImpl final : public ComObject<IExplorers> {
public:
    explicit ExplorersImpl(ComPtr<IExplorer> explorer) : explorer_(std::move(explorer)) {}
    int Count() override { return explorer_ ? 1 : 0; }
    ComPtr<IExplorer> Item(int index) override
    {
        CheckIndex(index, explorer_ ? 1 : 0);
        return explorer_;
    }

private:
    ComPtr<IExplorer> explorer_;
};

class ApplicationImpl final : public ComObject<IOutlookApplication, IApplicationHost> {
public:
    ApplicationImpl(const ApplicationConfig& config, std::shared_ptr<void> keepAlive)
        : session_(std::make_shared<Session>(config, std::move(keepAlive))), namespace_(MakeCom<NamespaceImpl>(session_, picker_))
    {
        EnsureGMime();
    }

    ComPtr<INameSpace> GetNamespace(const std::string& type) override
    {
        if (type != "MAPI") Fail("The namespace \"" + type + "\" is not supported.");
        return namespace_;
    }
    ComPtr<IExplorer> ActiveExplorer() override { return explorer_; }
    ComPtr<IExplorers> Explorers() override { return MakeCom<ExplorersImpl>(explorer_); }
    ComPtr<IOutlookItem> CreateItemFromTemplate(const std::string& path) override;
    std::uint32_t AdviseEvents(const ComPtr<IApplicationEvents>& sink) override
    {
        if (!sink) Fail("No event sink.");
        sinks_.emplace(++lastCookie_, sink);
        return lastCookie_;
    }
    void UnadviseEvents(std::uint32_t cookie) override
    {
        if (sinks_.erase(cookie) == 0) throw ComError(CONNECT_E_NOCONNECTION, "No such connection.");
    }

    void SetExplorer(const ComPtr<IMAPIFolder>& folder, std::vector<ComPtr<IOutlookItem>> selection) override
    {
        explorer_ = folder ? MakeCom<ExplorerImpl>(folder, std::move(selection)) : nullptr;
    }
    void SetFolderPicker(std::function<ComPtr<IMAPIFolder>()> picker) override { picker_ = std::move(picker); }
    bool RaiseItemSend(const ComPtr<IOutlookItem>& item) override
    {
        bool cancel = false;
        for (const auto& [cookie, sink] : Snapshot()) sink->ItemSend(item, cancel);
        return cancel;
    }
    void RaiseOptionsPagesAdd(const ComPtr<IPropertyPages>& pages) override
    {
        for (const auto& [cookie, sink] : Snapshot()) sink->OptionsPagesAdd(pages);
    }

private:
    /// Sinks may unadvise while they are called.
    std::map<std::uint32_t, ComPtr<IApplicationEvents>> Snapshot() const { return sinks_; }

    std::function<ComPtr<IMAPIFolder>()> picker_;  // declared before namespace_, which refers to it
    SessionPtr session_;
    ComPtr<INameSpace> namespace_;
    ComPtr<IExplorer> explorer_;
    std::map<std::uint32_t, ComPtr<IApplicationEvents>> sinks_;
    std::uint32_t lastCookie_ = 0;
};

ComPtr<IOutlookItem> ApplicationImpl::CreateItemFromTemplate(const std::string& path)
{
    const ObjectContext context{session_, namespace_, nullptr};
#ifdef TROVANTA_HAVE_MSGFILE
    if (LooksLikeMsgFile(path)) {
        try {
            return ItemImpl::FromMessage(context, ReadMsgFile(path));
        } catch (const ComError&) {
            throw;
        } catch (const Exception& e) {
            Fail(e.Message());
        }
    }
#endif
    return ItemImpl::FromMessage(context, ParseMessage(ReadWholeFile(path)));
}

}  // namespace

ComPtr<IOutlookApplication> CreateApplication(const ApplicationConfig& config, std::shared_ptr<void> keepAlive)
{
    return MakeCom<ApplicationImpl>(config, std::move(keepAlive));
}

}  // namespace outlook
