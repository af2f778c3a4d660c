#pragma once
// Writes a message as the storages and streams of a compound file.

#include "platform/outlook/msg/CompoundFileWriter.h"
#include "platform/outlook/msg/MsgModel.h"

namespace msgfile {

/// Writes `message` into the root storage of `file`, with the named-property storage and the
/// class id of a message file; the caller finishes the file. Throws Exception on failure.
void WriteMessageStorage(CompoundFileWriter& file, const MsgMessage& message);

}  // namespace msgfile
