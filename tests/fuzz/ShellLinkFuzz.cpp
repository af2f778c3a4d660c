// The .lnk reader on bytes from anywhere, and the round trip of what it read: written again by
// the writer and read back, a link gives the same fields.

#include "platform/shell/ShellLink.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool SameFields(const shell::ShellLinkData& a, const shell::ShellLinkData& b)
{
    return a.targetPath == b.targetPath && a.description == b.description &&
           a.fileAttributes == b.fileAttributes && a.creationTime == b.creationTime &&
           a.accessTime == b.accessTime && a.writeTime == b.writeTime && a.fileSize == b.fileSize;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto link = shell::ReadShellLink(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!link) return 0;
    const auto again = shell::ReadShellLink(shell::WriteShellLink(*link));
    if (!again || !SameFields(*link, *again)) std::abort();
    return 0;
}
