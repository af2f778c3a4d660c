#include "tests/engine/EngineFixture.h"

#include "platform/com/ComError.h"
#include "platform/outlook/Application.h"

namespace test {

namespace {

using outlook::IOutlookItem;

class ForwardingSafeItem final : public ComObject<qelutils::ISafeItem> {
public:
    void SetItem(const ComPtr<IOutlookItem>& item) override { item_ = item; }
    ComPtr<IOutlookItem> Item() override { return item_; }
    std::string Fields(std::uint32_t tag) override
    {
        if (tag == qelutils::PR_SENDER_EMAIL_ADDRESS) return I().SenderEmailAddress();
        if (tag == qelutils::PR_TRANSPORT_MESSAGE_HEADERS) return I().TransportHeaders();
        return {};
    }
    int Class() override { return I().Class(); }
    ComPtr<outlook::IOutlookObject> Parent() override { return I().Parent(); }
    std::string Subject() override { return I().Subject(); }
    void SetSubject(const std::string& subject) override { I().SetSubject(subject); }
    std::string SenderName() override { return I().SenderName(); }
    std::string SenderEmailAddress() override { return I().SenderEmailAddress(); }
    std::string TransportHeaders() override { return I().TransportHeaders(); }
    std::string Body() override { return I().Body(); }
    std::string HTMLBody() override { return I().HTMLBody(); }
    bool Sent() override { return I().Sent(); }
    TDateTime SentOn() override { return I().SentOn(); }
    TDateTime ReceivedTime() override { return I().ReceivedTime(); }
    TDateTime CreationTime() override { return I().CreationTime(); }
    bool Unread() override { return I().Unread(); }
    void SetUnread(bool unread) override { I().SetUnread(unread); }
    ComPtr<outlook::IRecipients> Recipients() override { return I().Recipients(); }
    ComPtr<outlook::IAttachments> Attachments() override { return I().Attachments(); }
    void Save() override { I().Save(); }
    ComPtr<IOutlookItem> Copy() override { return I().Copy(); }
    ComPtr<IOutlookItem> Move(const ComPtr<outlook::IMAPIFolder>& folder) override { return I().Move(folder); }
    void Delete() override { I().Delete(); }
    void SaveAs(const std::string& path, int type) override { I().SaveAs(path, type); }

private:
    IOutlookItem& I()
    {
        if (!item_) throw ComError(E_POINTER);
        return *item_;
    }
    ComPtr<IOutlookItem> item_;
};

class FixedCurrentUser final : public ComObject<qelutils::ISafeCurrentUser> {
public:
    explicit FixedCurrentUser(std::string name) : name_(std::move(name)) {}
    std::string Name() override { return name_; }
    void CleanUp() override {}

private:
    std::string name_;
};

}  // namespace

ComPtr<qelutils::ISafeItem> MakeForwardingSafeItem() { return MakeCom<ForwardingSafeItem>(); }

ComPtr<qelutils::ISafeCurrentUser> MakeCurrentUser(const std::string& name)
{
    return MakeCom<FixedCurrentUser>(name);
}

TObjectFactory ServerObjectFactory(const std::string& userName)
{
    return [userName](const std::string& progID) -> ComPtr<IUnknown> {
        if (progID == ProgIDCurrentUser) return MakeCurrentUser(userName);
        if (progID == ProgIDSafeMailItem || progID == ProgIDSafePostItem) return MakeForwardingSafeItem();
        throw ComError(REGDB_E_CLASSNOTREG);
    };
}

StoreFixture::StoreFixture() : builder_(dir_.Path() / "Maildir") { builder_.Folder("Inbox"); }

void StoreFixture::Open()
{
    outlook::ApplicationConfig config;
    config.stores.push_back({"Mailbox", builder_.Root().string(), outlook::StoreLayout::Nested});
    app_ = outlook::CreateApplication(config);
}

ComPtr<outlook::IMAPIFolder> StoreFixture::Folder(const std::string& relPath) const
{
    ComPtr<outlook::IMAPIFolder> folder = app_->GetNamespace("MAPI")->Folders()->Item(1);
    std::size_t start = 0;
    while (start < relPath.size()) {
        std::size_t end = relPath.find('/', start);
        if (end == std::string::npos) end = relPath.size();
        const std::string name = relPath.substr(start, end - start);
        const ComPtr<outlook::IFolders> folders = folder->Folders();
        ComPtr<outlook::IMAPIFolder> found;
        for (int i = 1; i <= folders->Count() && !found; ++i) {
            if (folders->Item(i)->Name() == name) found = folders->Item(i);
        }
        if (!found) throw ComError(E_FAIL, "no folder " + relPath);
        folder = found;
        start = end + 1;
    }
    return folder;
}

}  // namespace test
