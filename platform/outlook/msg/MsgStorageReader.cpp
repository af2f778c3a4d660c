#include "platform/outlook/msg/MsgStorageReader.h"

#include "platform/outlook/GLibPtr.h"
#include "platform/outlook/msg/MsgEncoding.h"
#include "platform/outlook/msg/MsgPropertyStream.h"
#include "platform/outlook/msg/MsgPropertyTags.h"
#include "platform/runtime/Exception.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <optional>

namespace msgfile {

namespace {

// Attached messages nest at most this deep; deeper is taken as a crafted file.
constexpr int kMaxDepth = 32;
constexpr std::size_t kChunk = 64 * 1024;

/// The bytes the whole read may take: a sound file's streams together are never larger
/// than the file, so the total is bounded by (twice) its size.
class ReadBudget {
public:
    explicit ReadBudget(std::uint64_t fileSize) : fileSize_(fileSize), remaining_(2 * fileSize) {}
    void Take(std::uint64_t bytes)
    {
        if (bytes > fileSize_ || bytes > remaining_) throw Exception("a stream is larger than the file.");
        remaining_ -= bytes;
    }

private:
    std::uint64_t fileSize_;
    std::uint64_t remaining_;
};

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return g_ascii_toupper(c); });
    return text;
}

std::string ReadWhole(GsfInput* input, ReadBudget& budget)
{
    const gsf_off_t size = gsf_input_size(input);
    if (size < 0) throw Exception("a stream has no size.");
    budget.Take(static_cast<std::uint64_t>(size));
    std::string bytes(static_cast<std::size_t>(size), '\0');
    for (std::size_t at = 0; at < bytes.size(); at += kChunk) {
        const std::size_t n = std::min(kChunk, bytes.size() - at);
        if (!gsf_input_read(input, n, reinterpret_cast<guint8*>(bytes.data() + at)))
            throw Exception("a stream cannot be read.");
    }
    return bytes;
}

bool IsStorage(GsfInput* input) { return GSF_IS_INFILE(input) && gsf_infile_num_children(GSF_INFILE(input)) >= 0; }

/// One storage of the file: its children by upper-case name and its property entries.
class StorageReader {
public:
    StorageReader(GsfInfile* dir, StorageKind kind, ReadBudget& budget, std::uint32_t codepage)
        : dir_(dir), budget_(budget), codepage_(codepage)
    {
        const int count = gsf_infile_num_children(dir);
        for (int i = 0; i < count; ++i) {
            if (const char* name = gsf_infile_name_by_index(dir, i)) children_.emplace(Upper(name), i);
        }
        if (auto props = Stream(kPropertiesStream)) {
            entries_ = ParsePropertyStream(*props, kind);
            hasProperties_ = true;
        }
        if (auto cp = Fixed(kMessageCodepage, kTypeLong)) codepage_ = static_cast<std::uint32_t>(*cp);
    }

    std::uint32_t Codepage() const { return codepage_; }
    bool HasProperties() const { return hasProperties_; }

    std::optional<std::string> Stream(const std::string& name) const
    {
        auto child = Child(name);
        if (!child || IsStorage(child.get())) return std::nullopt;
        return ReadWhole(child.get(), budget_);
    }

    GObjectPtr<GsfInfile> Storage(const std::string& name) const
    {
        auto child = Child(name);
        if (!child || !IsStorage(child.get())) return {};
        return GObjectPtr<GsfInfile>::Adopt(GSF_INFILE(child.release()));
    }

    /// A string property, Unicode or 8-bit in the message's code page; "" when absent.
    std::string String(std::uint16_t id) const
    {
        if (auto bytes = Stream(SubstgName(MakeTag(id, kTypeUnicode)))) return Utf16LeToUtf8(*bytes);
        if (auto bytes = Stream(SubstgName(MakeTag(id, kTypeString8)))) return DecodeString8(*bytes, codepage_);
        return {};
    }

    std::optional<std::string> Binary(std::uint16_t id) const { return Stream(SubstgName(MakeTag(id, kTypeBinary))); }

    std::optional<std::uint64_t> Fixed(std::uint16_t id, std::uint16_t type) const
    {
        for (const PropertyEntry& e : entries_) {
            if (e.tag == MakeTag(id, type)) return e.value;
        }
        return std::nullopt;
    }

    /// Names of the child storages starting with `prefix`, in name order.
    std::vector<std::string> StoragesWithPrefix(const std::string& prefix) const
    {
        std::vector<std::string> names;
        const std::string upper = Upper(prefix);
        for (const auto& [name, index] : children_) {
            if (name.compare(0, upper.size(), upper) == 0) names.push_back(name);
        }
        return names;
    }

private:
    GObjectPtr<GsfInput> Child(const std::string& name) const
    {
        const auto it = children_.find(Upper(name));
        if (it == children_.end()) return {};
        auto child = GObjectPtr<GsfInput>::Adopt(gsf_infile_child_by_index(dir_, it->second));
        if (!child) throw Exception("the part \"" + name + "\" cannot be opened.");
        return child;
    }

    GsfInfile* dir_;
    ReadBudget& budget_;
    std::uint32_t codepage_;
    std::map<std::string, int> children_;
    std::vector<PropertyEntry> entries_;
    bool hasProperties_ = false;
};

std::string FirstOf(std::initializer_list<std::string> texts)
{
    for (const std::string& t : texts) {
        if (!t.empty()) return t;
    }
    return {};
}

MsgMessage ReadMessage(GsfInfile* dir, StorageKind kind, ReadBudget& budget, std::uint32_t codepage, int depth);

std::optional<MsgRecipient> ReadRecipient(GsfInfile* dir, ReadBudget& budget, std::uint32_t codepage)
{
    const StorageReader r(dir, StorageKind::Child, budget, codepage);
    const std::uint64_t type = r.Fixed(kRecipientType, kTypeLong).value_or(1) & 0xFF;
    if (type < 1 || type > 3) return std::nullopt;
    MsgRecipient recipient;
    recipient.type = static_cast<RecipientType>(type);
    recipient.displayName = r.String(kDisplayName);
    const std::string addrType = r.String(kAddrType);
    const std::string email = r.String(kEmailAddress);
    const bool smtp = addrType.empty() || g_ascii_strcasecmp(addrType.c_str(), "SMTP") == 0;
    recipient.address = FirstOf({r.String(kSmtpAddress), smtp ? email : std::string()});
    if (recipient.address.empty()) recipient.address = email;
    return recipient;
}

MsgAttachment ReadAttachment(GsfInfile* dir, ReadBudget& budget, std::uint32_t codepage, int depth)
{
    const StorageReader r(dir, StorageKind::Child, budget, codepage);
    MsgAttachment a;
    a.displayName = r.String(kDisplayName);
    const std::uint64_t method = r.Fixed(kAttachMethod, kTypeLong).value_or(kAttachByValue);
    if (method == kAttachEmbeddedMessage) {
        if (auto inner = r.Storage(SubstgName(MakeTag(kAttachData, kTypeObject)))) {
            a.embedded = std::make_unique<MsgMessage>(
                ReadMessage(inner.get(), StorageKind::EmbeddedMessage, budget, codepage, depth + 1));
            if (a.displayName.empty()) a.displayName = a.embedded->subject;
            return a;
        }
    }
    a.fileName = FirstOf({r.String(kAttachLongFilename), r.String(kAttachFilename), a.displayName});
    a.mimeType = r.String(kAttachMimeTag);
    a.contentId = r.String(kAttachContentId);
    a.data = r.Binary(kAttachData).value_or(std::string());
    return a;
}

void ReadSender(const StorageReader& r, MsgMessage& m)
{
    m.senderName = FirstOf({r.String(kSenderName), r.String(kSentRepresentingName)});
    const std::string type = r.String(kSenderAddrType);
    const bool smtp = type.empty() || g_ascii_strcasecmp(type.c_str(), "SMTP") == 0;
    m.senderAddress = FirstOf({r.String(kSenderSmtpAddress), smtp ? r.String(kSenderEmail) : std::string(),
                               r.String(kSentRepresentingEmail)});
}

std::string ReadHtml(const StorageReader& r)
{
    if (auto bytes = r.Binary(kHtml)) {
        const auto cp = r.Fixed(kInternetCodepage, kTypeLong);
        return ToUtf8(std::move(*bytes),
                      CodepageCharset(cp ? static_cast<std::uint32_t>(*cp) : r.Codepage()));
    }
    return r.String(kHtml);
}

void ReadEnvelope(const StorageReader& r, MsgMessage& m)
{
    m.messageClass = r.String(kMessageClass);
    m.subject = r.String(kSubject);
    ReadSender(r, m);
    m.body = r.String(kBody);
    m.htmlBody = ReadHtml(r);
    m.transportHeaders = r.String(kTransportHeaders);
    m.messageId = r.String(kInternetMessageId);
    m.submitTime = r.Fixed(kClientSubmitTime, kTypeSysTime).value_or(0);
    m.deliveryTime = r.Fixed(kDeliveryTime, kTypeSysTime).value_or(0);
    m.creationTime = r.Fixed(kCreationTime, kTypeSysTime).value_or(0);
    m.read = (r.Fixed(kMessageFlags, kTypeLong).value_or(0) & kMessageFlagRead) != 0;
}

MsgMessage ReadMessage(GsfInfile* dir, StorageKind kind, ReadBudget& budget, std::uint32_t codepage, int depth)
{
    if (depth > kMaxDepth) throw Exception("attached messages are nested too deeply.");
    const StorageReader r(dir, kind, budget, codepage);
    // Other compound files (documents, spreadsheets) have no property stream.
    if (!r.HasProperties()) throw Exception("it holds no message properties.");
    MsgMessage m;
    ReadEnvelope(r, m);
    for (const std::string& name : r.StoragesWithPrefix(kRecipientPrefix)) {
        auto child = r.Storage(name);
        if (!child) continue;
        if (auto recipient = ReadRecipient(child.get(), budget, r.Codepage())) m.recipients.push_back(*recipient);
    }
    for (const std::string& name : r.StoragesWithPrefix(kAttachmentPrefix)) {
        if (auto child = r.Storage(name)) m.attachments.push_back(ReadAttachment(child.get(), budget, r.Codepage(), depth));
    }
    return m;
}

}  // namespace

MsgMessage ReadMessageStorage(GsfInfile* root, std::uint64_t fileSize)
{
    ReadBudget budget(fileSize);
    return ReadMessage(root, StorageKind::TopMessage, budget, 0, 0);
}

}  // namespace msgfile
