#include "platform/outlook/msg/MsgMimeImport.h"

#include "platform/outlook/ContentDecoder.h"
#include "platform/outlook/GLibPtr.h"
#include "platform/outlook/msg/MsgEncoding.h"

#include <algorithm>
#include <array>

namespace msgfile {

namespace {

// Attached messages deeper than this are kept as plain .eml files; real mail never
// nests that far and the limit keeps a crafted message from exhausting the stack.
constexpr int kMaxDepth = 32;

std::string Str(const char* s) { return s ? std::string(s) : std::string(); }

MsgMessage ImportAtDepth(GMimeMessage* message, int depth);

struct Walk {
    MsgMessage& out;
    int depth;
    bool haveBody = false;
    bool haveHtml = false;
};

void AddRecipients(MsgMessage& out, InternetAddressList* list, RecipientType type)
{
    if (!list) return;
    const int count = internet_address_list_length(list);
    for (int i = 0; i < count; ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_GROUP(address)) {
            AddRecipients(out, internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address)), type);
            continue;
        }
        MsgRecipient r;
        r.address = ValidUtf8(Str(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address))));
        r.displayName = ValidUtf8(Str(internet_address_get_name(address)));
        if (r.displayName.empty()) r.displayName = r.address;
        r.type = type;
        out.recipients.push_back(std::move(r));
    }
}

void SetSender(MsgMessage& out, GMimeMessage* message)
{
    InternetAddressList* list = g_mime_message_get_from(message);
    if (!list || internet_address_list_length(list) == 0) list = g_mime_message_get_sender(message);
    if (!list) return;
    const int count = internet_address_list_length(list);
    for (int i = 0; i < count; ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (!INTERNET_ADDRESS_IS_MAILBOX(address)) continue;
        out.senderAddress = ValidUtf8(Str(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address))));
        out.senderName = ValidUtf8(Str(internet_address_get_name(address)));
        if (out.senderName.empty()) out.senderName = out.senderAddress;
        return;
    }
}

std::string FileNameOf(GMimeObject* object)
{
    if (!GMIME_IS_PART(object)) return {};
    return ValidUtf8(Str(g_mime_part_get_filename(GMIME_PART(object))));
}

std::string ContentTypeOf(GMimeObject* object)
{
    GMimeContentType* type = g_mime_object_get_content_type(object);
    return type ? TakeString(g_mime_content_type_get_mime_type(type)) : std::string();
}

bool IsAttachmentDisposition(GMimeObject* object)
{
    GMimeContentDisposition* disposition = g_mime_object_get_content_disposition(object);
    return disposition && g_mime_content_disposition_is_attachment(disposition);
}

void AddFileAttachment(MsgMessage& out, GMimeObject* object)
{
    MsgAttachment a;
    a.fileName = FileNameOf(object);
    a.displayName = a.fileName;
    a.mimeType = ContentTypeOf(object);
    a.contentId = ValidUtf8(Str(g_mime_object_get_content_id(object)));
    if (GMIME_IS_PART(object)) {
        a.part = GObjectPtr<GMimePart>::Retain(GMIME_PART(object));
    } else {
        // A message part too deep to nest: its text, as an .eml file would hold it.
        a.data = TakeString(g_mime_object_to_string(object, nullptr));
    }
    out.attachments.push_back(std::move(a));
}

void AddMessageAttachment(Walk& walk, GMimeMessagePart* part)
{
    GMimeMessage* inner = g_mime_message_part_get_message(part);
    if (!inner || walk.depth + 1 >= kMaxDepth) {
        if (inner) AddFileAttachment(walk.out, GMIME_OBJECT(inner));
        return;
    }
    MsgAttachment a;
    a.embedded = std::make_unique<MsgMessage>(ImportAtDepth(inner, walk.depth + 1));
    a.displayName = a.embedded->subject;
    a.mimeType = "message/rfc822";
    walk.out.attachments.push_back(std::move(a));
}

void WalkLeaf(Walk& walk, GMimePart* part)
{
    GMimeObject* object = GMIME_OBJECT(part);
    const std::string type = ContentTypeOf(object);
    if (!IsAttachmentDisposition(object)) {
        if (!walk.haveBody && g_ascii_strcasecmp(type.c_str(), "text/plain") == 0) {
            walk.out.body = PartText(part);
            walk.haveBody = true;
            return;
        }
        if (!walk.haveHtml && g_ascii_strcasecmp(type.c_str(), "text/html") == 0) {
            walk.out.htmlBody = PartText(part);
            walk.haveHtml = true;
            return;
        }
    }
    AddFileAttachment(walk.out, object);
}

void WalkObject(Walk& walk, GMimeObject* object)
{
    if (!object) return;
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart* multipart = GMIME_MULTIPART(object);
        const int count = g_mime_multipart_get_count(multipart);
        for (int i = 0; i < count; ++i) WalkObject(walk, g_mime_multipart_get_part(multipart, i));
    } else if (GMIME_IS_MESSAGE_PART(object)) {
        AddMessageAttachment(walk, GMIME_MESSAGE_PART(object));
    } else if (GMIME_IS_PART(object)) {
        WalkLeaf(walk, GMIME_PART(object));
    }
}

}  // namespace

bool ForEachDecodedChunk(GMimePart* part,
                         const std::function<bool(const guint8* bytes, std::size_t size)>& take)
{
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    GMimeStream* source = content ? g_mime_data_wrapper_get_stream(content) : nullptr;
    if (!source) return true;
    const GMimeContentEncoding encoding = g_mime_data_wrapper_get_encoding(content);
    if (outlook::DecodesItself(encoding)) return outlook::DecodeStream(source, encoding, take);
    g_mime_stream_reset(source);
    auto decoded = GObjectPtr<GMimeStream>::Adopt(g_mime_stream_filter_new(source));
    if (encoding == GMIME_CONTENT_ENCODING_UUENCODE) {
        auto decoder = GObjectPtr<GMimeFilter>::Adopt(g_mime_filter_basic_new(encoding, FALSE));
        g_mime_stream_filter_add(GMIME_STREAM_FILTER(decoded.get()), decoder.get());
    }
    std::array<char, 65536> buffer;
    for (;;) {
        const ssize_t n = g_mime_stream_read(decoded.get(), buffer.data(), buffer.size());
        if (n < 0) return false;
        // A piece that decodes to nothing (blank lines) reads as 0 bytes before the end.
        if (n == 0 && g_mime_stream_eos(decoded.get())) return true;
        if (n > 0 && !take(reinterpret_cast<const guint8*>(buffer.data()), static_cast<std::size_t>(n)))
            return false;
    }
}

std::string DecodedPartBytes(GMimePart* part)
{
    std::string bytes;
    const bool read = ForEachDecodedChunk(part, [&bytes](const guint8* chunk, std::size_t size) {
        bytes.append(reinterpret_cast<const char*>(chunk), size);
        return true;
    });
    return read ? bytes : std::string();
}

std::string PartText(GMimePart* part)
{
    const char* charset = g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "charset");
    const char* iconvName = charset ? g_mime_charset_iconv_name(charset) : nullptr;
    return ToUtf8(DecodedPartBytes(part), Str(iconvName));
}

MsgMessage ImportMimeMessage(GMimeMessage* message) { return ImportAtDepth(message, 0); }

namespace {

MsgMessage ImportAtDepth(GMimeMessage* message, int depth)
{
    MsgMessage out;
    out.subject = ValidUtf8(Str(g_mime_message_get_subject(message)));
    SetSender(out, message);
    AddRecipients(out, g_mime_message_get_addresses(message, GMIME_ADDRESS_TYPE_TO), RecipientType::To);
    AddRecipients(out, g_mime_message_get_addresses(message, GMIME_ADDRESS_TYPE_CC), RecipientType::Cc);
    AddRecipients(out, g_mime_message_get_addresses(message, GMIME_ADDRESS_TYPE_BCC), RecipientType::Bcc);
    if (const char* id = g_mime_message_get_message_id(message)) out.messageId = ValidUtf8("<" + Str(id) + ">");
    if (GDateTime* date = g_mime_message_get_date(message)) out.submitTime = FileTimeFromUnix(g_date_time_to_unix(date));
    out.transportHeaders = ValidUtf8(TakeString(g_mime_object_get_headers(GMIME_OBJECT(message), nullptr)));
    Walk walk{out, depth};
    WalkObject(walk, g_mime_message_get_mime_part(message));
    return out;
}

}  // namespace

}  // namespace msgfile
