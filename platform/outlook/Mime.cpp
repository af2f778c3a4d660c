#include "platform/outlook/Mime.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <magic.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/outlook/ContentDecoder.h"
#include "platform/outlook/QuickFields.h"

namespace outlook {

namespace {

struct MagicClose {
    void operator()(magic_set* m) const
    {
        if (m) magic_close(m);
    }
};
using MagicPtr = std::unique_ptr<magic_set, MagicClose>;

std::string Owned(char* text)
{
    return MakeValidUtf8(TakeString(text));
}

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsType(GMimeObject* object, const char* type, const char* subtype)
{
    GMimeContentType* ct = object ? g_mime_object_get_content_type(object) : nullptr;
    return ct && g_mime_content_type_is_type(ct, type, subtype);
}

bool IsAttachmentPart(GMimeObject* object)
{
    if (!GMIME_IS_PART(object)) return false;
    GMimeContentDisposition* disposition = g_mime_object_get_content_disposition(object);
    if (disposition && g_mime_content_disposition_is_attachment(disposition)) return true;
    const char* name = g_mime_part_get_filename(GMIME_PART(object));
    return name && *name;
}

void AppendMailboxes(InternetAddressList* list, std::vector<Address>& out)
{
    const int count = list ? internet_address_list_length(list) : 0;
    for (int i = 0; i < count; ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_GROUP(address)) {
            AppendMailboxes(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address)), out);
            continue;
        }
        const char* name = internet_address_get_name(address);
        const char* addr = INTERNET_ADDRESS_IS_MAILBOX(address)
                               ? internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address))
                               : nullptr;
        out.push_back({MakeValidUtf8(name ? name : ""), MakeValidUtf8(addr ? addr : "")});
    }
}

std::optional<std::time_t> ToUnix(GDateTime* date)
{
    if (!date) return std::nullopt;
    return static_cast<std::time_t>(g_date_time_to_unix(date));
}

std::string Unfolded(std::string_view raw)
{
    EnsureGMime();
    return TakeString(g_mime_utils_header_unfold(std::string(raw).c_str()));
}

/// A field's text with its encoded words decoded.
std::string DecodedText(std::string_view raw)
{
    if (std::optional<std::string> quick = QuickText(raw)) return std::move(*quick);
    return ParseHeaderText(raw);
}

std::optional<std::time_t> DecodedDate(const std::string& text)
{
    if (const auto quick = QuickDate(text)) return quick;
    return ParseDate(text);
}

/// A media type ("type/subtype") in lower case; both empty when the field does not parse.
struct MediaType {
    std::string type, subtype;
};

/// Skips blanks, line ends and comments (nested, with quoted pairs), as between the tokens of
/// a structured header field.
std::size_t SkipBlanksAndComments(std::string_view text, std::size_t pos)
{
    int depth = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (depth > 0 && c == '\\') {
            ++pos;
        } else if (c == '(') {
            ++depth;
        } else if (depth > 0 && c == ')') {
            --depth;
        } else if (depth == 0 && c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            break;
        }
    }
    return pos;
}

bool IsTokenChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u > 32 && u < 127 && std::string_view("()<>@,;:\\\"/[]?=").find(c) == std::string_view::npos;
}

std::string LowerToken(std::string_view text, std::size_t& pos)
{
    std::string token;
    for (; pos < text.size() && IsTokenChar(text[pos]); ++pos)
        token += static_cast<char>(std::tolower(static_cast<unsigned char>(text[pos])));
    return token;
}

/// The media type of a Content-Type value; what follows the subtype (parameters) is not read.
MediaType ParseMediaType(std::string_view value)
{
    std::size_t pos = SkipBlanksAndComments(value, 0);
    std::string type = LowerToken(value, pos);
    pos = SkipBlanksAndComments(value, pos);
    if (pos >= value.size() || value[pos] != '/') return {};
    pos = SkipBlanksAndComments(value, pos + 1);
    std::string subtype = LowerToken(value, pos);
    if (subtype.empty()) return {};
    return {std::move(type), std::move(subtype)};
}

/// The message's own media type (the last Content-Type field counts); a message without one
/// is text/plain.
MediaType MediaTypeOf(const HeaderFields& headers)
{
    const auto values = headers.All("Content-Type");
    if (values.empty()) return {"text", "plain"};
    return ParseMediaType(values.back());
}

/// Whether the media type is type/subtype (lower case; "*" for any subtype).
bool TypeIs(const MediaType& media, std::string_view type, std::string_view subtype)
{
    return !media.subtype.empty() && media.type == type && (subtype == "*" || media.subtype == subtype);
}

const char* AddressFieldName(GMimeAddressType type)
{
    switch (type) {
        case GMIME_ADDRESS_TYPE_SENDER:
            return "Sender";
        case GMIME_ADDRESS_TYPE_FROM:
            return "From";
        case GMIME_ADDRESS_TYPE_REPLY_TO:
            return "Reply-To";
        case GMIME_ADDRESS_TYPE_TO:
            return "To";
        case GMIME_ADDRESS_TYPE_CC:
            return "Cc";
        case GMIME_ADDRESS_TYPE_BCC:
            return "Bcc";
    }
    return "";
}

/// Depth-first walk of the body parts, not entering attached e-mails.
template <class Visit>
void WalkParts(GMimeObject* object, GMimeMultipart* parent, Visit&& visit)
{
    if (!object) return;
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart* multipart = GMIME_MULTIPART(object);
        const int count = g_mime_multipart_get_count(multipart);
        for (int i = 0; i < count; ++i) WalkParts(g_mime_multipart_get_part(multipart, i), multipart, visit);
        return;
    }
    visit(object, parent);
}

/// Where the run of ASCII bytes other than NUL that starts at `pos` ends: eight bytes at a time
/// while none of them has its high bit set or is NUL, then byte by byte.
std::size_t AsciiRunEnd(std::string_view bytes, std::size_t pos)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101, kHighBits = 0x8080808080808080;
    for (std::uint64_t word; pos + 8 <= bytes.size(); pos += 8) {
        std::memcpy(&word, bytes.data() + pos, 8);
        if (((word - kOnes) | word) & kHighBits) break;
    }
    for (; pos < bytes.size(); ++pos) {
        const auto byte = static_cast<unsigned char>(bytes[pos]);
        if (byte == 0 || byte >= 0x80) break;
    }
    return pos;
}

/// Whether the bytes are valid UTF-8 without a NUL, as g_utf8_validate judges them: ASCII runs,
/// which are most of a text, are passed over quickly, and GLib validates the runs between
/// them. A character is either one ASCII byte or bytes of 0x80 and more, so each run can be
/// judged on its own.
bool IsUtf8WithoutNul(std::string_view bytes)
{
    for (std::size_t pos = AsciiRunEnd(bytes, 0); pos < bytes.size(); pos = AsciiRunEnd(bytes, pos)) {
        if (bytes[pos] == '\0') return false;
        const std::size_t start = pos;
        while (pos < bytes.size() && static_cast<unsigned char>(bytes[pos]) >= 0x80) ++pos;
        if (!g_utf8_validate(bytes.data() + start, static_cast<gssize>(pos - start), nullptr)) return false;
    }
    return true;
}

/// Whether decoded text in `charset` reads the same as UTF-8: no charset at all, or UTF-8
/// itself or ASCII, and bytes that are valid as such (no NUL, which ends a text).
bool IsUtf8Already(const char* charset, std::string_view bytes)
{
    if (!IsUtf8WithoutNul(bytes)) return false;
    if (!charset) return true;
    const char* name = g_mime_charset_iconv_name(charset);
    if (g_ascii_strcasecmp(name, "UTF-8") == 0) return true;
    if (g_ascii_strcasecmp(name, "US-ASCII") != 0 && g_ascii_strcasecmp(name, "ANSI_X3.4-1968") != 0) return false;
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

/// Messages up to this size are read into memory whole to be parsed; larger ones are parsed
/// from the file.
constexpr off_t kParseInMemoryLimit = off_t{4} << 20;

/// The rest of the file `fd` (`expected` bytes long, read on should it have grown); null when
/// a read failed.
GByteArray* ReadIntoByteArray(int fd, std::size_t expected)
{
    GByteArray* bytes = g_byte_array_sized_new(static_cast<guint>(expected + 1));
    std::size_t done = 0;
    for (;;) {
        if (done == bytes->len)
            g_byte_array_set_size(bytes, static_cast<guint>(std::max(done + 65536, expected)));
        const ssize_t n = ::read(fd, bytes->data + done, bytes->len - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            g_byte_array_unref(bytes);
            return nullptr;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    g_byte_array_set_size(bytes, static_cast<guint>(done));
    return bytes;
}

GObjectPtr<GMimeMessage> ParseStream(GMimeStream* stream)
{
    auto parser = GObjectPtr<GMimeParser>::Adopt(g_mime_parser_new_with_stream(stream));
    g_mime_parser_set_persist_stream(parser.get(), TRUE);
    auto message = GObjectPtr<GMimeMessage>::Adopt(g_mime_parser_construct_message(parser.get(), nullptr));
    if (!message) message = GObjectPtr<GMimeMessage>::Adopt(g_mime_message_new(TRUE));
    return message;
}

/// Lets `write` write into the file `fd` (not closed here) through a buffer, so that the many
/// small pieces of a message become few system calls; false (errno set) when a write failed.
template <class Write>
bool WriteThroughBuffer(int fd, Write&& write)
{
    // A pipe stream only writes: the flush at the end does not flush the file to disk, which
    // the caller does where it is needed (a file stream's flush would).
    auto file = GObjectPtr<GMimeStream>::Adopt(g_mime_stream_pipe_new(fd));
    g_mime_stream_pipe_set_owner(GMIME_STREAM_PIPE(file.get()), FALSE);
    auto buffered =
        GObjectPtr<GMimeStream>::Adopt(g_mime_stream_buffer_new(file.get(), GMIME_STREAM_BUFFER_BLOCK_WRITE));
    errno = 0;
    const bool written = write(buffered.get()) && g_mime_stream_flush(buffered.get()) == 0;
    if (!written && errno == 0) errno = EIO;
    return written;
}

/// The decoded content of a leaf part written to `out`; false when a write failed.
bool WriteDecodedContent(GMimeObject* part, GMimeStream* out)
{
    GMimeDataWrapper* content = GMIME_IS_PART(part) ? g_mime_part_get_content(GMIME_PART(part)) : nullptr;
    if (!content) return true;
    // Base64 and quoted-printable, most of what is decoded, by our faster decoders; a wrapper
    // of a derived class may write otherwise and keeps its own writer.
    GMimeStream* encoded = g_mime_data_wrapper_get_stream(content);
    const GMimeContentEncoding encoding = g_mime_data_wrapper_get_encoding(content);
    if (encoded && DecodesItself(encoding) && G_OBJECT_TYPE(content) == GMIME_TYPE_DATA_WRAPPER)
        return WriteDecodedStream(encoded, encoding, out);
    return g_mime_data_wrapper_write_to_stream(content, out) >= 0;
}

/// The media type libmagic gives the start of the file `fd` (as much of it as libmagic ever
/// looks at); "application/octet-stream" when it cannot tell.
std::string MediaTypeOfFile(int fd)
{
    // Loading the database takes longer than looking at a file: it is loaded once per thread.
    thread_local const MagicPtr cookie = [] {
        MagicPtr opened(magic_open(MAGIC_MIME_TYPE));
        if (opened && magic_load(opened.get(), nullptr) != 0) opened.reset();
        return opened;
    }();
    if (!cookie) return "application/octet-stream";
    std::size_t bytesMax = std::size_t{1} << 20;
    magic_getparam(cookie.get(), MAGIC_PARAM_BYTES_MAX, &bytesMax);
    struct stat st {};
    const std::size_t size =
        ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
    std::string head(std::min(bytesMax, size), '\0');
    std::size_t done = 0;
    while (done < head.size()) {
        const ssize_t n = ::pread(fd, head.data() + done, head.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    const char* found = magic_buffer(cookie.get(), head.data(), done);
    return found ? found : "application/octet-stream";
}

std::pair<std::string, std::string> SplitMediaType(const std::string& mimeType)
{
    const auto slash = mimeType.find('/');
    if (slash == std::string::npos) return {"application", "octet-stream"};
    return {mimeType.substr(0, slash), mimeType.substr(slash + 1)};
}

}  // namespace

void EnsureGMime()
{
    static std::once_flag once;
    std::call_once(once, [] {
        g_mime_init();
        // GMime registers its types with GLib, which stays loaded: GMime has to stay loaded too.
        // Otherwise a process that unloads this server library (and with it GMime) and loads it
        // again finds GMime's types registered twice and its objects broken.
        Dl_info info{};
        if (dladdr(reinterpret_cast<const void*>(&g_mime_init), &info) != 0 && info.dli_fname)
            dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);  // the handle is kept on purpose
    });
}

std::string MakeValidUtf8(std::string text)
{
    if (IsUtf8WithoutNul(text)) return text;
    return TakeString(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
}

GObjectPtr<GMimeMessage> ParseMessage(std::string_view bytes)
{
    EnsureGMime();
    return ParseStream(
        GObjectPtr<GMimeStream>::Adopt(g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size())).get());
}

GObjectPtr<GMimeMessage> ParseMessageFd(UniqueFd fd)
{
    EnsureGMime();
    struct stat st {};
    if (::fstat(fd.Get(), &st) == 0 && st.st_size > kParseInMemoryLimit) {
        // The parts of a large message refer into the file (the stream owns the descriptor):
        // an attachment is read from there when it is written, never held in memory.
        return ParseStream(GObjectPtr<GMimeStream>::Adopt(g_mime_stream_fs_new(fd.Release())).get());
    }
    GByteArray* bytes = ReadIntoByteArray(fd.Get(), static_cast<std::size_t>(std::max<off_t>(st.st_size, 0)));
    fd.Reset();
    if (!bytes) return {};
    // The stream owns the byte array, and the parser's parts refer into the stream.
    return ParseStream(GObjectPtr<GMimeStream>::Adopt(g_mime_stream_mem_new_with_byte_array(bytes)).get());
}

std::string SerializeMessage(GMimeMessage* message)
{
    auto stream = GObjectPtr<GMimeStream>::Adopt(g_mime_stream_mem_new());
    g_mime_object_write_to_stream(GMIME_OBJECT(message), nullptr, stream.get());
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream.get()));
    return bytes ? std::string(reinterpret_cast<const char*>(bytes->data), bytes->len) : std::string();
}

bool WriteMessageTo(GMimeMessage* message, int fd)
{
    return WriteThroughBuffer(fd, [message](GMimeStream* out) {
        return g_mime_object_write_to_stream(GMIME_OBJECT(message), nullptr, out) >= 0;
    });
}

int ClassFromHeaders(const HeaderFields& headers)
{
    if (TypeIs(MediaTypeOf(headers), "multipart", "report")) return 46;
    if (headers.Has("Newsgroups") && AddressesOf(headers, GMIME_ADDRESS_TYPE_TO).empty() &&
        AddressesOf(headers, GMIME_ADDRESS_TYPE_CC).empty()) {
        return 45;
    }
    return 43;
}

bool MayBeMeeting(const HeaderFields& headers)
{
    const MediaType media = MediaTypeOf(headers);
    return TypeIs(media, "text", "calendar") || TypeIs(media, "multipart", "*");
}

std::string TopBoundaryOf(const HeaderFields& headers)
{
    const auto values = headers.All("Content-Type");
    if (values.size() != 1) return {};
    EnsureGMime();
    auto type =
        GObjectPtr<GMimeContentType>::Adopt(g_mime_content_type_parse(nullptr, Unfolded(values[0]).c_str()));
    if (!type || !g_mime_content_type_is_type(type.get(), "multipart", "*")) return {};
    const char* boundary = g_mime_content_type_get_parameter(type.get(), "boundary");
    return boundary ? boundary : std::string();
}

bool HasMeetingRequest(GMimeMessage* message)
{
    bool found = false;
    WalkParts(g_mime_message_get_mime_part(message), nullptr, [&](GMimeObject* part, GMimeMultipart*) {
        if (found || !IsType(part, "text", "calendar")) return;
        const std::string text = Lower(PartContent(part));
        for (std::size_t pos = text.find("method:request"); pos != std::string::npos;
             pos = text.find("method:request", pos + 1)) {
            if (pos == 0 || text[pos - 1] == '\n') found = true;
        }
    });
    return found;
}

HeaderFields HeadersOf(GMimeObject* object)
{
    return HeaderFields(TakeString(g_mime_object_get_headers(object, nullptr)));
}

std::string HeaderText(const HeaderFields& headers, std::string_view name)
{
    bool found = false;
    const std::string_view raw = headers.First(name, &found);
    return found ? MakeValidUtf8(DecodedText(raw)) : std::string();
}

std::string SubjectOf(const HeaderFields& headers)
{
    const auto subjects = headers.All("Subject");
    return subjects.empty() ? std::string() : MakeValidUtf8(DecodedText(subjects.back()));
}

std::string ParseHeaderText(std::string_view raw)
{
    return TakeString(g_mime_utils_header_decode_text(nullptr, Unfolded(raw).c_str()));
}

std::optional<std::time_t> ParseDate(const std::string& text)
{
    EnsureGMime();
    const GDateTimePtr date(g_mime_utils_header_decode_date(text.c_str()));
    return ToUnix(date.get());
}

std::vector<Address> ParseAddressList(const std::string& value)
{
    EnsureGMime();
    std::vector<Address> out;
    const GObjectPtr<InternetAddressList> list =
        GObjectPtr<InternetAddressList>::Adopt(internet_address_list_parse(nullptr, value.c_str()));
    AppendMailboxes(list.get(), out);
    return out;
}

std::vector<Address> AddressesOf(const HeaderFields& headers, GMimeAddressType type)
{
    std::vector<Address> out;
    for (const std::string_view raw : headers.All(AddressFieldName(type))) {
        std::optional<std::vector<Address>> quick = QuickAddresses(raw);
        std::vector<Address> mailboxes = quick ? std::move(*quick) : ParseAddressList(std::string(raw));
        if (out.empty()) {
            out = std::move(mailboxes);
        } else {
            for (Address& mailbox : mailboxes) out.push_back(std::move(mailbox));
        }
    }
    return out;
}

std::optional<Address> SenderOf(const HeaderFields& headers)
{
    auto from = AddressesOf(headers, GMIME_ADDRESS_TYPE_FROM);
    if (from.empty()) from = AddressesOf(headers, GMIME_ADDRESS_TYPE_SENDER);
    if (from.empty()) return std::nullopt;
    return from.front();
}

std::optional<std::time_t> DateOf(const HeaderFields& headers)
{
    const auto dates = headers.All("Date");
    if (dates.empty()) return std::nullopt;
    if (const auto quick = QuickDate(dates.back())) return quick;
    return ParseDate(Unfolded(dates.back()));
}

std::optional<std::time_t> FirstReceivedDate(const HeaderFields& headers)
{
    bool found = false;
    const std::string received = Unfolded(headers.First("Received", &found));
    const auto semicolon = received.rfind(';');
    if (!found || semicolon == std::string::npos) return std::nullopt;
    return DecodedDate(received.substr(semicolon + 1));
}

GMimeObject* FirstBodyPart(GMimeMessage* message, const char* subtype)
{
    GMimeObject* found = nullptr;
    WalkParts(g_mime_message_get_mime_part(message), nullptr, [&](GMimeObject* part, GMimeMultipart*) {
        if (found || !GMIME_IS_TEXT_PART(part) || !IsType(part, "text", subtype) || IsAttachmentPart(part))
            return;
        found = part;
    });
    return found;
}

// Most texts are UTF-8 or ASCII: those are taken as decoded, without a conversion to
// themselves; the others are converted from their charset.
std::string TextOfPart(GMimeObject* part)
{
    std::string bytes = PartContent(part);
    if (IsUtf8Already(g_mime_object_get_content_type_parameter(part, "charset"), bytes)) return bytes;
    return Owned(g_mime_text_part_get_text(GMIME_TEXT_PART(part)));
}


std::vector<AttachmentRef> AttachmentsOf(GMimeMessage* message)
{
    std::vector<AttachmentRef> out;
    GMimeObject* top = g_mime_message_get_mime_part(message);
    WalkParts(top, nullptr, [&](GMimeObject* part, GMimeMultipart* parent) {
        const bool embedded = GMIME_IS_MESSAGE_PART(part);
        if (!embedded && !IsAttachmentPart(part)) return;
        if (embedded && IsType(part, "message", "delivery-status")) return;
        out.push_back(
            {GObjectPtr<GMimeObject>::Retain(part), GObjectPtr<GMimeMultipart>::Retain(parent), embedded});
    });
    return out;
}

std::string PartFilename(GMimeObject* part)
{
    if (!GMIME_IS_PART(part)) {
        const char* name = g_mime_object_get_content_disposition_parameter(part, "filename");
        if (!name) name = g_mime_object_get_content_type_parameter(part, "name");
        return name ? MakeValidUtf8(name) : std::string();
    }
    const char* name = g_mime_part_get_filename(GMIME_PART(part));
    return name ? MakeValidUtf8(name) : std::string();
}

std::string PartContent(GMimeObject* part)
{
    if (GMIME_IS_MESSAGE_PART(part)) {
        GMimeMessage* inner = EmbeddedMessage(part);
        return inner ? SerializeMessage(inner) : std::string();
    }
    auto stream = GObjectPtr<GMimeStream>::Adopt(g_mime_stream_mem_new());
    WriteDecodedContent(part, stream.get());
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream.get()));
    return bytes ? std::string(reinterpret_cast<const char*>(bytes->data), bytes->len) : std::string();
}

bool WritePartContentTo(GMimeObject* part, int fd)
{
    if (GMIME_IS_MESSAGE_PART(part)) {
        GMimeMessage* inner = EmbeddedMessage(part);
        return !inner || WriteMessageTo(inner, fd);
    }
    return WriteThroughBuffer(fd, [part](GMimeStream* out) { return WriteDecodedContent(part, out); });
}

GMimeMessage* EmbeddedMessage(GMimeObject* part)
{
    return GMIME_IS_MESSAGE_PART(part) ? g_mime_message_part_get_message(GMIME_MESSAGE_PART(part)) : nullptr;
}

GObjectPtr<GMimeObject> MakeAttachmentPart(int fd, const std::string& fileName)
{
    EnsureGMime();
    auto stream = GObjectPtr<GMimeStream>::Adopt(g_mime_stream_fs_new(fd));
    const auto [type, subtype] = SplitMediaType(MediaTypeOfFile(fd));
    auto part = GObjectPtr<GMimePart>::Adopt(g_mime_part_new_with_type(type.c_str(), subtype.c_str()));
    auto wrapper = GObjectPtr<GMimeDataWrapper>::Adopt(
        g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(part.get(), wrapper.get());
    g_mime_part_set_content_encoding(part.get(), GMIME_CONTENT_ENCODING_BASE64);
    g_mime_object_set_disposition(GMIME_OBJECT(part.get()), GMIME_DISPOSITION_ATTACHMENT);
    g_mime_part_set_filename(part.get(), fileName.c_str());
    return GObjectPtr<GMimeObject>::Retain(GMIME_OBJECT(part.get()));
}

void InsertAttachmentPart(GMimeMessage* message, GMimeObject* part, int index)
{
    GMimeObject* top = g_mime_message_get_mime_part(message);
    if (!IsType(top, "multipart", "mixed") || !GMIME_IS_MULTIPART(top)) {
        auto mixed = GObjectPtr<GMimeMultipart>::Adopt(g_mime_multipart_new_with_subtype("mixed"));
        if (top) g_mime_multipart_add(mixed.get(), top);
        g_mime_message_set_mime_part(message, GMIME_OBJECT(mixed.get()));
        top = GMIME_OBJECT(mixed.get());
    }
    GMimeMultipart* multipart = GMIME_MULTIPART(top);
    const int count = g_mime_multipart_get_count(multipart);
    if (index < 0 || index >= count)
        g_mime_multipart_add(multipart, part);
    else
        g_mime_multipart_insert(multipart, index, part);
}

}  // namespace outlook
