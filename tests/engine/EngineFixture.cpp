#include "tests/engine/EngineFixture.h"

#include "platform/com/ComError.h"
#include "platform/outlook/Application.h"
#include "platform/qelutils/SafeItem.h"

namespace test {

namespace {

class FixedCurrentUser final : public ComObject<qelutils::ISafeCurrentUser> {
public:
    explicit FixedCurrentUser(std::string name) : name_(std::move(name)) {}
    std::string Name() override { return name_; }
    void CleanUp() override {}

private:
    std::string name_;
};

}  // namespace

ComPtr<qelutils::ISafeItem> MakeSafeItem() { return MakeCom<qelutils::SafeItem>(); }

ComPtr<qelutils::ISafeCurrentUser> MakeCurrentUser(const std::string& name)
{
    return MakeCom<FixedCurrentUser>(name);
}

TObjectFactory ServerObjectFactory(const std::string& userName)
{
    return [userName](const std::string& progID) -> ComPtr<IUnknown> {
        if (progID == ProgIDCurrentUser) return MakeCurrentUser(userName);
        if (progID == ProgIDSafeMailItem || progID == ProgIDSafePostItem) return MakeSafeItem();
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
