#pragma once
// Internal to the shell link codec: the item-id list that names the link target, built
// for drive and POSIX paths and read back for drive paths.

#include <string>
#include <string_view>
#include <vector>

#include "platform/shell/ShellLink.h"

namespace shell::lnk {

enum class PathKind { Empty, Drive, Network, Posix };

/// "C:\..." is a drive path, "\\server\share..." a network path, anything else POSIX.
PathKind KindOf(std::string_view path);

/// The names between separators ("\" for drive and network paths, "/" for POSIX paths),
/// without the drive ("C:") and without empty names.
std::vector<std::string_view> PathComponents(std::string_view path, PathKind kind);

/// The IDList (item ids and the terminal id, without the leading size) for the target of
/// `link`; empty when the target is no drive or POSIX path.
std::string BuildIdList(const ShellLinkData& link);

/// The path an IDList names when it holds a drive item ("C:\") followed by file-system
/// items; empty otherwise. Every item size is checked against the list.
std::string PathFromIdList(std::string_view idList);

}  // namespace shell::lnk
