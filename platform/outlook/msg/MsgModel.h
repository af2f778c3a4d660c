#pragma once
// What a message file holds, as plain values: the common ground between the MIME side
// (GMime) and the compound-file side (libgsf) of the codec. Texts are UTF-8.

#include "platform/outlook/GLibPtr.h"

#include <gmime/gmime.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace msgfile {

/// Recipient types of the format.
enum class RecipientType : std::uint32_t { To = 1, Cc = 2, Bcc = 3 };

struct MsgRecipient {
    std::string displayName;
    std::string address;
    RecipientType type = RecipientType::To;
};

struct MsgMessage;

/// An attachment: a file with its bytes, or an attached message (`embedded` set).
struct MsgAttachment {
    std::string fileName;     ///< the name the file is saved under
    std::string displayName;  ///< what a mail program shows; the subject for an attached message
    std::string mimeType;     ///< content type of a file, "" when unknown
    std::string contentId;    ///< for pictures an HTML body refers to, without angle brackets
    std::string data;
    /// A file taken from a MIME message: its bytes are decoded from this part as they are
    /// written (`data` stays empty), so that a large file is never held in memory.
    GObjectPtr<GMimePart> part;
    std::unique_ptr<MsgMessage> embedded;
};

struct MsgMessage {
    std::string messageClass = "IPM.Note";
    std::string subject;
    std::string senderName;
    std::string senderAddress;
    std::string body;              ///< plain text body
    std::string htmlBody;          ///< HTML body
    std::string transportHeaders;  ///< the Internet header block, "" when not known
    std::string messageId;         ///< with angle brackets, as in the header
    std::uint64_t submitTime = 0;  ///< FILETIME; 0 for none
    std::uint64_t deliveryTime = 0;
    std::uint64_t creationTime = 0;
    bool read = false;
    std::vector<MsgRecipient> recipients;
    std::vector<MsgAttachment> attachments;
};

}  // namespace msgfile
