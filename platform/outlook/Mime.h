#pragma once
// What the items read from a MIME message (GMime): class, texts, addresses, dates, the
// attachment parts, and the message written back as bytes. Internal to the object model.

#include <gmime/gmime.h>

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/outlook/GLibPtr.h"
#include "platform/outlook/HeaderFields.h"
#include "platform/runtime/FileIO.h"

namespace outlook {

/// Starts GMime once per process.
void EnsureGMime();

/// Parses message bytes; a header block alone gives a message with an empty body.
/// Never fails: broken MIME gives GMime's best reading.
GObjectPtr<GMimeMessage> ParseMessage(std::string_view bytes);
/// The message of an open file from its current position, read straight into the buffer the
/// parser keeps (the file's bytes are not copied a second time); empty when the file cannot be
/// read. The parse owns `fd`.
GObjectPtr<GMimeMessage> ParseMessageFd(UniqueFd fd);

/// The message as bytes (unchanged parts as they were read).
std::string SerializeMessage(GMimeMessage* message);
/// The same bytes written into the file `fd` as they come; false (errno set) on failure.
bool WriteMessageTo(GMimeMessage* message, int fd);

/// `Class` from the headers: report, post or mail; `MayBeMeeting` says whether the body
/// must be looked at for a meeting request.
int ClassFromHeaders(const HeaderFields& headers);
bool MayBeMeeting(const HeaderFields& headers);
/// True when the message holds a text/calendar part with METHOD:REQUEST.
bool HasMeetingRequest(GMimeMessage* message);

/// The header fields of a parsed message or part, as it would be written now.
HeaderFields HeadersOf(GMimeObject* object);

/// The first field of this name, decoded to UTF-8 ("" when absent).
std::string HeaderText(const HeaderFields& headers, std::string_view name);
/// An unstructured field's raw value as GMime decodes it.
std::string ParseHeaderText(std::string_view raw);
/// The subject, decoded to UTF-8; the last Subject field counts.
std::string SubjectOf(const HeaderFields& headers);

struct Address {
    std::string name;
    std::string address;
    bool operator==(const Address&) const = default;
};
/// The mailboxes of every field of the type, group members included.
std::vector<Address> AddressesOf(const HeaderFields& headers, GMimeAddressType type);
/// The mailboxes of one address field's value, as GMime reads it.
std::vector<Address> ParseAddressList(const std::string& value);
/// The first From mailbox, else the first Sender mailbox.
std::optional<Address> SenderOf(const HeaderFields& headers);

/// The Date field (the last one counts), and the date of the first (latest) Received field.
std::optional<std::time_t> DateOf(const HeaderFields& headers);
std::optional<std::time_t> FirstReceivedDate(const HeaderFields& headers);
/// A date field's value as GMime reads it.
std::optional<std::time_t> ParseDate(const std::string& text);

/// The boundary of the message's top-level multipart; "" when the message is no multipart
/// or its Content-Type field does not say for sure (none, or more than one).
std::string TopBoundaryOf(const HeaderFields& headers);

/// The part that holds the body of this text subtype (the plain text body "plain", the HTML
/// body "html"): the first text part of that subtype that is no attachment, depth first,
/// attached e-mails not entered; null when there is none.
GMimeObject* FirstBodyPart(GMimeMessage* message, const char* subtype);
/// The text of a body part, decoded to UTF-8.
std::string TextOfPart(GMimeObject* part);
/// Text of an HTML page: tags dropped, line breaks kept, entities decoded.
std::string HtmlToText(const std::string& html);

/// One attachment: the part and the multipart that holds it (null at the top).
struct AttachmentRef {
    GObjectPtr<GMimeObject> part;
    GObjectPtr<GMimeMultipart> parent;
    bool embedded = false;  ///< an attached e-mail (message/rfc822)
};
std::vector<AttachmentRef> AttachmentsOf(GMimeMessage* message);

std::string PartFilename(GMimeObject* part);
/// The decoded content of a part.
std::string PartContent(GMimeObject* part);
/// The same content written into the file `fd` as it is decoded; false (errno set) on failure.
bool WritePartContentTo(GMimeObject* part, int fd);
/// An attached e-mail's message (null when the part holds none).
GMimeMessage* EmbeddedMessage(GMimeObject* part);

/// A new attachment part holding the file `fd` (the part owns the descriptor and reads the
/// file when the message is written), its content type from the bytes (libmagic).
GObjectPtr<GMimeObject> MakeAttachmentPart(int fd, const std::string& fileName);
/// Adds `part` to the message's top-level multipart/mixed (made when there is none) at
/// `index` (0-based among its parts; at the end when out of range).
void InsertAttachmentPart(GMimeMessage* message, GMimeObject* part, int index);

/// Valid UTF-8 (invalid bytes replaced).
std::string MakeValidUtf8(std::string text);

}  // namespace outlook
