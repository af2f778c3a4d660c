#pragma once
// Reads a message from the storages and streams of a compound file (libgsf's OLE reader).
// The file comes from strangers: every size is checked against the file's size, nesting is
// limited, and a damaged file gives an Exception, never a crash or a huge allocation.

#include "platform/outlook/msg/MsgModel.h"

#include <gsf/gsf.h>

#include <cstdint>

namespace msgfile {

/// The message in `root`, whose file holds `fileSize` bytes. Throws Exception when damaged.
MsgMessage ReadMessageStorage(GsfInfile* root, std::uint64_t fileSize);

}  // namespace msgfile
