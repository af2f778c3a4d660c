#include "platform/outlook/msg/MsgMimeExport.h"

#include "platform/outlook/msg/MsgEncoding.h"

#include <cstring>

namespace msgfile {

namespace {

// Bodies of message files end their lines with CR LF; in a MIME part the line ends are
// the writer's business, so the text keeps LF only.
std::string UnixLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out.push_back(text[i]);
    }
    return out;
}

GObjectPtr<GMimeObject> TextPart(const char* subtype, const std::string& raw)
{
    const std::string text = UnixLineEnds(raw);
    auto part = GObjectPtr<GMimeTextPart>::Adopt(g_mime_text_part_new_with_subtype(subtype));
    g_mime_text_part_set_text(part.get(), text.c_str());
    g_mime_part_set_content_encoding(
        GMIME_PART(part.get()),
        g_mime_part_get_best_content_encoding(GMIME_PART(part.get()), GMIME_ENCODING_CONSTRAINT_7BIT));
    return GObjectPtr<GMimeObject>::Adopt(GMIME_OBJECT(part.release()));
}

GObjectPtr<GMimeObject> BodyPart(const MsgMessage& m)
{
    if (m.htmlBody.empty()) return TextPart("plain", m.body);
    if (m.body.empty()) return TextPart("html", m.htmlBody);
    auto alternative = GObjectPtr<GMimeMultipart>::Adopt(g_mime_multipart_new_with_subtype("alternative"));
    g_mime_multipart_add(alternative.get(), TextPart("plain", m.body).get());
    g_mime_multipart_add(alternative.get(), TextPart("html", m.htmlBody).get());
    return GObjectPtr<GMimeObject>::Adopt(GMIME_OBJECT(alternative.release()));
}

GObjectPtr<GMimeObject> FilePart(const MsgAttachment& a)
{
    GMimeContentType* parsed = a.mimeType.empty() ? nullptr : g_mime_content_type_parse(nullptr, a.mimeType.c_str());
    auto type = GObjectPtr<GMimeContentType>::Adopt(parsed);
    const bool usable = type && g_mime_content_type_get_media_type(type.get()) &&
                        std::strcmp(g_mime_content_type_get_media_type(type.get()), "multipart") != 0 &&
                        std::strcmp(g_mime_content_type_get_media_type(type.get()), "message") != 0;
    auto part = GObjectPtr<GMimePart>::Adopt(
        usable ? g_mime_part_new_with_type(g_mime_content_type_get_media_type(type.get()),
                                           g_mime_content_type_get_media_subtype(type.get()))
               : g_mime_part_new_with_type("application", "octet-stream"));
    g_mime_object_set_disposition(GMIME_OBJECT(part.get()), GMIME_DISPOSITION_ATTACHMENT);
    if (!a.fileName.empty()) g_mime_part_set_filename(part.get(), a.fileName.c_str());
    if (!a.contentId.empty()) g_mime_object_set_content_id(GMIME_OBJECT(part.get()), a.contentId.c_str());
    auto stream = GObjectPtr<GMimeStream>::Adopt(
        g_mime_stream_mem_new_with_buffer(reinterpret_cast<const char*>(a.data.data()), a.data.size()));
    auto content = GObjectPtr<GMimeDataWrapper>::Adopt(
        g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(part.get(), content.get());
    g_mime_part_set_content_encoding(part.get(), GMIME_CONTENT_ENCODING_BASE64);
    return GObjectPtr<GMimeObject>::Adopt(GMIME_OBJECT(part.release()));
}

GObjectPtr<GMimeObject> AttachmentPart(const MsgAttachment& a)
{
    if (!a.embedded) return FilePart(a);
    const GObjectPtr<GMimeMessage> inner = ExportMimeMessage(*a.embedded);
    return GObjectPtr<GMimeObject>::Adopt(
        GMIME_OBJECT(g_mime_message_part_new_with_message("rfc822", inner.get())));
}

/// A message whose headers are the saved header block, without its MIME headers.
GObjectPtr<GMimeMessage> MessageFromHeaders(const std::string& headers)
{
    const std::string text = headers + (headers.ends_with("\n") ? "\n" : "\r\n\r\n");
    auto stream = GObjectPtr<GMimeStream>::Adopt(g_mime_stream_mem_new_with_buffer(text.data(), text.size()));
    auto parser = GObjectPtr<GMimeParser>::Adopt(g_mime_parser_new_with_stream(stream.get()));
    auto message = GObjectPtr<GMimeMessage>::Adopt(g_mime_parser_construct_message(parser.get(), nullptr));
    if (!message) return {};
    GMimeObject* object = GMIME_OBJECT(message.get());
    GMimeHeaderList* list = g_mime_object_get_header_list(object);
    for (int i = g_mime_header_list_get_count(list) - 1; i >= 0; --i) {
        const char* name = g_mime_header_get_name(g_mime_header_list_get_header_at(list, i));
        if (g_ascii_strncasecmp(name, "Content-", 8) == 0 || g_ascii_strcasecmp(name, "MIME-Version") == 0)
            g_mime_header_list_remove_at(list, i);
    }
    return message;
}

void AddMailbox(GMimeMessage* message, GMimeAddressType type, const std::string& name, const std::string& address)
{
    g_mime_message_add_mailbox(message, type, name == address ? "" : name.c_str(), address.c_str());
}

void SetHeadersFromProperties(GMimeMessage* message, const MsgMessage& m)
{
    if (!m.senderAddress.empty() || !m.senderName.empty())
        AddMailbox(message, GMIME_ADDRESS_TYPE_FROM, m.senderName, m.senderAddress);
    for (const MsgRecipient& r : m.recipients) {
        const GMimeAddressType type = r.type == RecipientType::Cc    ? GMIME_ADDRESS_TYPE_CC
                                      : r.type == RecipientType::Bcc ? GMIME_ADDRESS_TYPE_BCC
                                                                     : GMIME_ADDRESS_TYPE_TO;
        AddMailbox(message, type, r.displayName, r.address);
    }
    g_mime_message_set_subject(message, m.subject.c_str(), "utf-8");
    // A message never sent has no submit time; the time it arrived or was made stands in.
    const std::uint64_t when = m.submitTime ? m.submitTime : m.deliveryTime ? m.deliveryTime : m.creationTime;
    if (when != 0) {
        const GDateTimePtr date(g_date_time_new_from_unix_utc(UnixFromFileTime(when)));
        if (date) g_mime_message_set_date(message, date.get());
    }
    std::string id = m.messageId;
    if (id.size() >= 2 && id.front() == '<' && id.back() == '>') id = id.substr(1, id.size() - 2);
    if (!id.empty()) g_mime_message_set_message_id(message, id.c_str());
}

/// Blind copies are not in the header block of a received message; keep them when known.
void AddMissingBcc(GMimeMessage* message, const MsgMessage& m)
{
    InternetAddressList* bcc = g_mime_message_get_addresses(message, GMIME_ADDRESS_TYPE_BCC);
    if (internet_address_list_length(bcc) > 0) return;
    for (const MsgRecipient& r : m.recipients) {
        if (r.type == RecipientType::Bcc) AddMailbox(message, GMIME_ADDRESS_TYPE_BCC, r.displayName, r.address);
    }
}

}  // namespace

GObjectPtr<GMimeMessage> ExportMimeMessage(const MsgMessage& m)
{
    GObjectPtr<GMimeMessage> message;
    if (!m.transportHeaders.empty()) message = MessageFromHeaders(m.transportHeaders);
    if (message && g_mime_object_get_header_list(GMIME_OBJECT(message.get())) &&
        g_mime_header_list_get_count(g_mime_object_get_header_list(GMIME_OBJECT(message.get()))) > 0) {
        AddMissingBcc(message.get(), m);
    } else {
        message = GObjectPtr<GMimeMessage>::Adopt(g_mime_message_new(FALSE));
        SetHeadersFromProperties(message.get(), m);
    }
    GObjectPtr<GMimeObject> body = BodyPart(m);
    if (!m.attachments.empty()) {
        auto mixed = GObjectPtr<GMimeMultipart>::Adopt(g_mime_multipart_new_with_subtype("mixed"));
        g_mime_multipart_add(mixed.get(), body.get());
        for (const MsgAttachment& a : m.attachments) g_mime_multipart_add(mixed.get(), AttachmentPart(a).get());
        body = GObjectPtr<GMimeObject>::Adopt(GMIME_OBJECT(mixed.release()));
    }
    g_mime_message_set_mime_part(message.get(), body.get());
    return message;
}

}  // namespace msgfile
