#include "platform/outlook/msg/MsgStorageWriter.h"

#include "platform/outlook/GLibPtr.h"
#include "platform/outlook/msg/MsgEncoding.h"
#include "platform/outlook/msg/MsgMimeImport.h"
#include "platform/outlook/msg/MsgPropertyStream.h"
#include "platform/outlook/msg/MsgPropertyTags.h"
#include "platform/runtime/Exception.h"

namespace msgfile {

namespace {

// The class id the mail client gives a saved message: {00020D0B-0000-0000-C000-000000000046}.
constexpr CompoundFileWriter::ClassId kMessageClassId = {0x0B, 0x0D, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                         0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

/// One storage being written: its property entries and its value streams.
class StorageWriter {
public:
    StorageWriter(CompoundFileWriter& file, CompoundFileWriter::EntryId dir) : file_(file), dir_(dir) {}

    void Unicode(std::uint16_t id, const std::string& text)
    {
        const std::uint32_t tag = MakeTag(id, kTypeUnicode);
        const std::string bytes = Utf8ToUtf16Le(text);
        Stream(SubstgName(tag), bytes);
        props_.AddVariable(tag, bytes.size());
    }
    void UnicodeIfAny(std::uint16_t id, const std::string& text)
    {
        if (!text.empty()) Unicode(id, text);
    }
    void Binary(std::uint16_t id, const std::string& bytes)
    {
        const std::uint32_t tag = MakeTag(id, kTypeBinary);
        Stream(SubstgName(tag), bytes);
        props_.AddVariable(tag, bytes.size());
    }
    /// A binary property decoded from a MIME part as it is written.
    void BinaryFromPart(std::uint16_t id, GMimePart* part)
    {
        const std::uint32_t tag = MakeTag(id, kTypeBinary);
        file_.BeginStream(dir_, SubstgName(tag));
        const bool read = ForEachDecodedChunk(part, [this](const guint8* bytes, std::size_t n) {
            file_.Append(std::string_view(reinterpret_cast<const char*>(bytes), n));
            return true;
        });
        if (!read) throw Exception("Cannot write the message file (reading an attachment).");
        props_.AddVariable(tag, file_.EndStream());
    }
    void Long(std::uint16_t id, std::uint32_t value) { props_.AddFixed(MakeTag(id, kTypeLong), value); }
    void Boolean(std::uint16_t id, bool value) { props_.AddFixed(MakeTag(id, kTypeBoolean), value ? 1 : 0); }
    void Time(std::uint16_t id, std::uint64_t fileTime)
    {
        if (fileTime != 0) props_.AddFixed(MakeTag(id, kTypeSysTime), fileTime);
    }
    void Object(std::uint16_t id) { props_.AddObject(MakeTag(id, kTypeObject)); }

    /// A sub-storage, written in full before the next entry of this one.
    StorageWriter Storage(const std::string& name)
    {
        return StorageWriter(file_, file_.AddStorage(dir_, name));
    }
    void SetClassId(const CompoundFileWriter::ClassId& classId) { file_.SetClassId(dir_, classId); }

    /// Writes the property stream, the storage's last entry.
    void Finish(StorageKind kind, std::uint32_t recipients = 0, std::uint32_t attachments = 0)
    {
        Stream(kPropertiesStream, props_.Build(kind, recipients, attachments));
    }

    void Stream(const std::string& name, std::string_view bytes) { file_.AddStream(dir_, name, bytes); }

private:
    CompoundFileWriter& file_;
    CompoundFileWriter::EntryId dir_;
    PropertyStreamBuilder props_;
};

std::string JoinNames(const MsgMessage& message, RecipientType type)
{
    std::string list;
    for (const MsgRecipient& r : message.recipients) {
        if (r.type != type) continue;
        if (!list.empty()) list += "; ";
        list += r.displayName.empty() ? r.address : r.displayName;
    }
    return list;
}

void WriteMessage(StorageWriter& w, const MsgMessage& message, StorageKind kind);

void WriteRecipient(StorageWriter w, const MsgRecipient& r, std::uint32_t index)
{
    w.Long(kRecipientType, static_cast<std::uint32_t>(r.type));
    w.Long(kObjectType, kObjectTypeRecipient);
    w.Long(kDisplayType, 0);
    w.Long(kRowId, index);
    w.Unicode(kDisplayName, r.displayName);
    w.Unicode(kEmailAddress, r.address);
    w.Unicode(kAddrType, "SMTP");
    w.Unicode(kSmtpAddress, r.address);
    w.Finish(StorageKind::Child);
}

std::string ExtensionOf(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

void WriteAttachment(StorageWriter w, const MsgAttachment& a, std::uint32_t index)
{
    w.Long(kObjectType, kObjectTypeAttachment);
    w.Long(kAttachNumber, index);
    w.Long(kRenderingPosition, 0xFFFFFFFFu);
    w.UnicodeIfAny(kDisplayName, a.displayName);
    if (a.embedded) {
        w.Long(kAttachMethod, kAttachEmbeddedMessage);
        w.Object(kAttachData);
        StorageWriter inner = w.Storage(SubstgName(MakeTag(kAttachData, kTypeObject)));
        inner.SetClassId(kMessageClassId);
        WriteMessage(inner, *a.embedded, StorageKind::EmbeddedMessage);
    } else {
        w.Long(kAttachMethod, kAttachByValue);
        w.UnicodeIfAny(kAttachFilename, a.fileName);
        w.UnicodeIfAny(kAttachLongFilename, a.fileName);
        w.UnicodeIfAny(kAttachExtension, ExtensionOf(a.fileName));
        w.UnicodeIfAny(kAttachMimeTag, a.mimeType);
        w.UnicodeIfAny(kAttachContentId, a.contentId);
        if (a.part) {
            w.BinaryFromPart(kAttachData, a.part.get());
        } else {
            w.Binary(kAttachData, a.data);
        }
    }
    w.Finish(StorageKind::Child);
}

void WriteSender(StorageWriter& w, const MsgMessage& m)
{
    w.UnicodeIfAny(kSenderName, m.senderName);
    w.UnicodeIfAny(kSentRepresentingName, m.senderName);
    if (m.senderAddress.empty()) return;
    for (const std::uint16_t id : {kSenderEmail, kSentRepresentingEmail, kSenderSmtpAddress})
        w.Unicode(id, m.senderAddress);
    w.Unicode(kSenderAddrType, "SMTP");
    w.Unicode(kSentRepresentingAddrType, "SMTP");
}

void WriteEnvelope(StorageWriter& w, const MsgMessage& m)
{
    w.Unicode(kMessageClass, m.messageClass);
    w.Unicode(kSubject, m.subject);
    w.Unicode(kNormalizedSubject, m.subject);
    w.Unicode(kConversationTopic, m.subject);
    WriteSender(w, m);
    w.Unicode(kDisplayTo, JoinNames(m, RecipientType::To));
    w.Unicode(kDisplayCc, JoinNames(m, RecipientType::Cc));
    w.Unicode(kDisplayBcc, JoinNames(m, RecipientType::Bcc));
    w.UnicodeIfAny(kInternetMessageId, m.messageId);
    w.UnicodeIfAny(kTransportHeaders, m.transportHeaders);
    w.Time(kClientSubmitTime, m.submitTime);
    w.Time(kDeliveryTime, m.deliveryTime);
    w.Time(kCreationTime, m.creationTime);
    w.Time(kLastModificationTime, m.creationTime);
    std::uint32_t flags = m.read ? kMessageFlagRead : 0;
    if (!m.attachments.empty()) flags |= kMessageFlagHasAttach;
    w.Long(kMessageFlags, flags);
    w.Boolean(kHasAttachments, !m.attachments.empty());
    w.Long(kStoreSupportMask, kStoreUnicodeOk);
    // The HTML body is stored as bytes; say that they are UTF-8.
    w.Long(kInternetCodepage, kCodepageUtf8);
    w.Long(kMessageCodepage, kCodepageUtf8);
    w.Unicode(kBody, m.body);
    if (!m.htmlBody.empty()) w.Binary(kHtml, m.htmlBody);
}

void WriteMessage(StorageWriter& w, const MsgMessage& message, StorageKind kind)
{
    WriteEnvelope(w, message);
    const auto recipients = static_cast<std::uint32_t>(message.recipients.size());
    const auto attachments = static_cast<std::uint32_t>(message.attachments.size());
    for (std::uint32_t i = 0; i < recipients; ++i)
        WriteRecipient(w.Storage(IndexedName(kRecipientPrefix, i)), message.recipients[i], i);
    for (std::uint32_t i = 0; i < attachments; ++i)
        WriteAttachment(w.Storage(IndexedName(kAttachmentPrefix, i)), message.attachments[i], i);
    if (kind == StorageKind::TopMessage) {
        // The named-property storage: no named properties, but its three streams must exist.
        StorageWriter names = w.Storage(kNameIdStorage);
        for (const char* stream : {"__substg1.0_00020102", "__substg1.0_00030102", "__substg1.0_00040102"})
            names.Stream(stream, {});
    }
    w.Finish(kind, recipients, attachments);
}

}  // namespace

void WriteMessageStorage(CompoundFileWriter& file, const MsgMessage& message)
{
    StorageWriter root(file, CompoundFileWriter::kRoot);
    root.SetClassId(kMessageClassId);
    WriteMessage(root, message, StorageKind::TopMessage);
}

}  // namespace msgfile
