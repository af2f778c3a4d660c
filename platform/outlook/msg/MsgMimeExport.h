#pragma once
// Builds a MIME message from the values of a message file: the saved Internet headers when
// there are any, else headers made from the properties; bodies as text/plain and text/html
// (multipart/alternative when both), attachments in a multipart/mixed, attached messages
// as message/rfc822 parts.

#include "platform/outlook/GLibPtr.h"
#include "platform/outlook/msg/MsgModel.h"

#include <gmime/gmime.h>

namespace msgfile {

GObjectPtr<GMimeMessage> ExportMimeMessage(const MsgMessage& message);

}  // namespace msgfile
