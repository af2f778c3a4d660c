#pragma once
// Turns a MIME message into the values a message file holds: the first inline text and
// HTML parts become the bodies, every other leaf part an attachment, and attached
// messages (message/rfc822) attached messages, recursively.

#include "platform/outlook/msg/MsgModel.h"

#include <gmime/gmime.h>

#include <functional>
#include <string>

namespace msgfile {

/// The message's content. Flags and store times are left for the caller to set.
MsgMessage ImportMimeMessage(GMimeMessage* message);

/// The bytes of a leaf part with the transfer encoding removed.
std::string DecodedPartBytes(GMimePart* part);
/// The same bytes given to `take` piece by piece as they are decoded; false when `take`
/// returned false or the part could not be read.
bool ForEachDecodedChunk(GMimePart* part,
                         const std::function<bool(const guint8* bytes, std::size_t size)>& take);
/// The text of a leaf part as UTF-8, converted from its declared charset.
std::string PartText(GMimePart* part);

}  // namespace msgfile
