#include "platform/outlook/msg/MsgStorageWriter.h"

#include "platform/outlook/GLibPtr.h"
#include "platform/outlook/msg/MsgEncoding.h"
#include "platform/outlook/msg/MsgMimeImport.h"
#include "platform/outlook/msg/MsgPropertyStream.h"
#include "platform/outlook/msg/MsgPropertyTags.h"
#include "platform/runtime/Exception.h"

#include <gsf/gsf-outfile-msole.h>

namespace msgfile {

namespace {

// The class id the mail client gives a saved message: {00020D0B-0000-0000-C000-000000000046}.
constexpr guint8 kMessageClassId[16] = {0x0B, 0x0D, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                        0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

[[noreturn]] void Fail(GsfOutput* output, const char* what)
{
    const GError* error = output ? gsf_output_error(output) : nullptr;
    std::string text = std::string("Cannot write the message file (") + what + ")";
    if (error && error->message) text += ": " + std::string(error->message);
    throw Exception(text + ".");
}

void CloseOutput(GsfOutput* output)
{
    if (!gsf_output_close(output)) Fail(output, "closing a stream");
}

/// One storage being written: its property entries and its value streams.
class StorageWriter {
public:
    explicit StorageWriter(GsfOutfile* dir) : dir_(dir) {}

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
        auto child = NewStream(SubstgName(tag));
        std::size_t size = 0;
        const bool written = ForEachDecodedChunk(part, [&child, &size](const guint8* bytes, std::size_t n) {
            size += n;
            return gsf_output_write(child.get(), n, bytes) != FALSE;
        });
        if (!written) Fail(child.get(), "writing a stream");
        CloseOutput(child.get());
        props_.AddVariable(tag, size);
    }
    void Long(std::uint16_t id, std::uint32_t value) { props_.AddFixed(MakeTag(id, kTypeLong), value); }
    void Boolean(std::uint16_t id, bool value) { props_.AddFixed(MakeTag(id, kTypeBoolean), value ? 1 : 0); }
    void Time(std::uint16_t id, std::uint64_t fileTime)
    {
        if (fileTime != 0) props_.AddFixed(MakeTag(id, kTypeSysTime), fileTime);
    }
    void Object(std::uint16_t id) { props_.AddObject(MakeTag(id, kTypeObject)); }

    /// A sub-storage; the caller closes it (through another writer's Finish) before this one.
    GObjectPtr<GsfOutfile> Storage(const std::string& name)
    {
        GsfOutput* child = gsf_outfile_new_child(dir_, name.c_str(), TRUE);
        if (!child) Fail(GSF_OUTPUT(dir_), "creating a storage");
        return GObjectPtr<GsfOutfile>::Adopt(GSF_OUTFILE(child));
    }

    /// Writes the property stream and closes the storage.
    void Finish(StorageKind kind, std::uint32_t recipients = 0, std::uint32_t attachments = 0)
    {
        Stream(kPropertiesStream, props_.Build(kind, recipients, attachments));
        CloseOutput(GSF_OUTPUT(dir_));
    }

    void Stream(const std::string& name, const std::string& bytes)
    {
        auto child = NewStream(name);
        if (!bytes.empty() && !gsf_output_write(child.get(), bytes.size(), reinterpret_cast<const guint8*>(bytes.data())))
            Fail(child.get(), "writing a stream");
        CloseOutput(child.get());
    }

private:
    GObjectPtr<GsfOutput> NewStream(const std::string& name)
    {
        auto child = GObjectPtr<GsfOutput>::Adopt(gsf_outfile_new_child(dir_, name.c_str(), FALSE));
        if (!child) Fail(GSF_OUTPUT(dir_), "creating a stream");
        return child;
    }

    GsfOutfile* dir_;
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

void WriteRecipient(GsfOutfile* dir, const MsgRecipient& r, std::uint32_t index)
{
    StorageWriter w(dir);
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

void WriteAttachment(GsfOutfile* dir, const MsgAttachment& a, std::uint32_t index)
{
    StorageWriter w(dir);
    w.Long(kObjectType, kObjectTypeAttachment);
    w.Long(kAttachNumber, index);
    w.Long(kRenderingPosition, 0xFFFFFFFFu);
    w.UnicodeIfAny(kDisplayName, a.displayName);
    if (a.embedded) {
        w.Long(kAttachMethod, kAttachEmbeddedMessage);
        w.Object(kAttachData);
        auto inner = w.Storage(SubstgName(MakeTag(kAttachData, kTypeObject)));
        gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(inner.get()), kMessageClassId);
        StorageWriter innerWriter(inner.get());
        WriteMessage(innerWriter, *a.embedded, StorageKind::EmbeddedMessage);
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
    for (std::uint32_t i = 0; i < recipients; ++i) {
        auto dir = w.Storage(IndexedName(kRecipientPrefix, i));
        WriteRecipient(dir.get(), message.recipients[i], i);
    }
    for (std::uint32_t i = 0; i < attachments; ++i) {
        auto dir = w.Storage(IndexedName(kAttachmentPrefix, i));
        WriteAttachment(dir.get(), message.attachments[i], i);
    }
    if (kind == StorageKind::TopMessage) {
        // The named-property storage: no named properties, but its three streams must exist.
        auto names = w.Storage(kNameIdStorage);
        StorageWriter nw(names.get());
        for (const char* stream : {"__substg1.0_00020102", "__substg1.0_00030102", "__substg1.0_00040102"})
            nw.Stream(stream, {});
        CloseOutput(GSF_OUTPUT(names.get()));
    }
    w.Finish(kind, recipients, attachments);
}

}  // namespace

void WriteMessageStorage(GsfOutfile* root, const MsgMessage& message)
{
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(root), kMessageClassId);
    StorageWriter w(root);
    WriteMessage(w, message, StorageKind::TopMessage);
}

}  // namespace msgfile
