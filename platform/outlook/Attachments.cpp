// Attachments of an item: the list read from the whole message, deletes and additions
// made in memory and written at the item's Save.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/outlook/Errors.h"
#include "platform/outlook/Item.h"
#include "platform/outlook/MessageFiles.h"

#ifdef TROVANTA_HAVE_MSGFILE
#include "platform/outlook/msg/MsgFile.h"
#endif

namespace outlook {

namespace {

std::string DisplayNameOf(const AttachmentState& state)
{
    if (!state.displayName.empty()) return state.displayName;
    if (state.ref.embedded) {
        if (GMimeMessage* inner = EmbeddedMessage(state.ref.part.get())) {
            std::string subject = SubjectOf(HeadersOf(GMIME_OBJECT(inner)));
            if (!subject.empty()) return subject;
        }
    }
    return PartFilename(state.ref.part.get());
}

class AttachmentImpl final : public ComObject<IAttachment> {
public:
    AttachmentImpl(ComPtr<IOutlookItem> holder, ItemImpl& item, AttachmentStatePtr state)
        : holder_(std::move(holder)), item_(item), state_(std::move(state))
    {
    }

    std::string Filename() override
    {
        std::string name = PartFilename(state_->ref.part.get());
        if (name.empty() && state_->ref.embedded) name = DisplayNameOf(*state_) + ".msg";
        return name;
    }
    std::string DisplayName() override { return DisplayNameOf(*state_); }
    int Type() override { return state_->ref.embedded ? olEmbeddedItem : olByValue; }
    void SaveAsFile(const std::string& path) override;
    void Delete() override { item_.RemoveAttachment(state_); }

private:
    ComPtr<IOutlookItem> holder_;  // keeps the item, and so the message, alive
    ItemImpl& item_;
    AttachmentStatePtr state_;
};

void AttachmentImpl::SaveAsFile(const std::string& path)
{
    if (state_->removed) Fail("The attachment has been deleted.");
#ifdef TROVANTA_HAVE_MSGFILE
    if (GMimeMessage* inner = EmbeddedMessage(state_->ref.part.get())) {
        MsgItemProperties props;
        props.read = true;
        WriteUserFileWith(path, [&](int fd) {
            WriteMsgFileTo(inner, props, fd, path);
            return true;
        });
        return;
    }
#endif
    GMimeObject* part = state_->ref.part.get();
    WriteUserFileWith(path, [part](int fd) { return WritePartContentTo(part, fd); });
}

class AttachmentsImpl final : public ComObject<IAttachments> {
public:
    AttachmentsImpl(ComPtr<IOutlookItem> holder, ItemImpl& item) : holder_(std::move(holder)), item_(item) {}

    int Count() override { return static_cast<int>(item_.AttachmentList().size()); }
    ComPtr<IAttachment> Item(int index) override
    {
        const auto& list = item_.AttachmentList();
        CheckIndex(index, list.size());
        return MakeCom<AttachmentImpl>(holder_, item_, list[static_cast<std::size_t>(index - 1)]);
    }
    ComPtr<IAttachment> Add(const std::string& path, int type, std::optional<int> /*position*/,
                            std::optional<std::string> displayName) override
    {
        // Plain and HTML messages have no place for an attachment in the text: it goes at the end.
        if (type != olByValue) Fail("Only files can be attached (type 1).");
        return MakeCom<AttachmentImpl>(holder_, item_, item_.AddAttachment(path, displayName));
    }

private:
    ComPtr<IOutlookItem> holder_;
    ItemImpl& item_;
};

void RemovePart(GMimeMessage* message, const AttachmentRef& ref)
{
    GMimeObject* top = g_mime_message_get_mime_part(message);
    GMimeMultipart* parent = ref.parent ? ref.parent.get() : nullptr;
    if (!parent && top != ref.part.get() && GMIME_IS_MULTIPART(top)) parent = GMIME_MULTIPART(top);
    if (parent) {
        g_mime_multipart_remove(parent, ref.part.get());
        return;
    }
    // The attachment was the whole body: an empty text remains.
    auto empty = GObjectPtr<GMimeTextPart>::Adopt(g_mime_text_part_new_with_subtype("plain"));
    g_mime_text_part_set_text(empty.get(), "");
    g_mime_message_set_mime_part(message, GMIME_OBJECT(empty.get()));
}

}  // namespace

ComPtr<IAttachments> MakeAttachments(ComPtr<IOutlookItem> holder, ItemImpl& item)
{
    return MakeCom<AttachmentsImpl>(std::move(holder), item);
}

ComPtr<IAttachments> ItemImpl::Attachments()
{
    CheckAlive();
    return MakeAttachments(ComPtr<IOutlookItem>::Retain(this), *this);
}

const std::vector<AttachmentStatePtr>& ItemImpl::AttachmentList()
{
    CheckAlive();
    if (!attachments_) {
        std::vector<AttachmentStatePtr> list;
        for (auto& ref : AttachmentsOf(FullMessage())) {
            auto state = std::make_shared<AttachmentState>();
            state->ref = std::move(ref);
            list.push_back(std::move(state));
        }
        attachments_ = std::move(list);
    }
    return *attachments_;
}

void ItemImpl::RemoveAttachment(const AttachmentStatePtr& attachment)
{
    CheckAlive();
    if (attachment->removed) Fail("The attachment has been deleted.");
    AttachmentList();
    RemovePart(FullMessage(), attachment->ref);
    std::erase(*attachments_, attachment);
    attachment->removed = true;
    attachmentsChanged_ = true;
}

AttachmentStatePtr ItemImpl::AddAttachment(const std::string& path, const std::optional<std::string>& displayName)
{
    CheckAlive();
    AttachmentList();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("The file \"" + path + "\" cannot be read: " + std::strerror(errno));
    auto part = MakeAttachmentPart(fd, std::filesystem::path(path).filename().string());
    InsertAttachmentPart(FullMessage(), part.get(), -1);
    auto state = std::make_shared<AttachmentState>();
    state->ref.part = std::move(part);
    state->displayName = displayName.value_or("");
    attachments_->push_back(state);
    attachmentsChanged_ = true;
    return state;
}

}  // namespace outlook
