#pragma once
// Writes a message as the storages and streams of a compound file (libgsf's OLE writer).

#include "platform/outlook/msg/MsgModel.h"

#include <gsf/gsf.h>

namespace msgfile {

/// Writes `message` into the root storage `root`, with the named-property storage and the
/// class id of a message file. Throws Exception when libgsf reports a failure.
void WriteMessageStorage(GsfOutfile* root, const MsgMessage& message);

}  // namespace msgfile
