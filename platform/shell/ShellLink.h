#pragma once
// The Windows shell link (.lnk) binary file format, read and written without any I/O.
//
// The writer produces the form the Windows shell writes for a file target: the header,
// an item-id list for the target, link info with the local base path (ANSI and Unicode),
// the description as the name string, and the terminal block. The reader finds the target
// of links from any source, including links Windows made; its input comes from strangers,
// so every size and offset is checked and bytes that are no link give no result.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace shell {

/// FILE_ATTRIBUTE_ARCHIVE, what a freshly written file carries.
inline constexpr std::uint32_t kFileAttributeArchive = 0x20;
/// FILE_ATTRIBUTE_DIRECTORY.
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;

/// Converts a time in seconds (and nanoseconds) since 1970-01-01 UTC to a Windows
/// FILETIME (100-nanosecond intervals since 1601-01-01 UTC); times before 1601 give 0.
std::uint64_t FileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds = 0);

/// The fields of a shell link that the system sets and reads. Texts are UTF-8.
struct ShellLinkData {
    /// Full path of the target: a POSIX path ("/home/ann/a.pdf"), a drive path
    /// ("C:\test\a.txt") or a network path ("\\server\share\a.txt").
    std::string targetPath;
    /// The description (NAME_STRING); empty means none is stored.
    std::string description;
    std::uint32_t fileAttributes = kFileAttributeArchive;
    std::uint64_t creationTime = 0;  ///< FILETIME of the target
    std::uint64_t accessTime = 0;    ///< FILETIME of the target
    std::uint64_t writeTime = 0;     ///< FILETIME of the target
    std::uint32_t fileSize = 0;      ///< low 32 bits of the target's size
};

/// The bytes of a shell link file for `link`.
std::string WriteShellLink(const ShellLinkData& link);

/// Reads a shell link file. Gives nothing when `bytes` is not a shell link (wrong header
/// size or class id, or too short for a header). For a link, `targetPath` is taken, in
/// this order, from the link info's local base path plus common path suffix, from its
/// network share name plus suffix, from the environment-variable block, and else from
/// the item-id list; it is empty when none holds a path. A structure that lies (a size
/// or offset past its end) is ignored, never read beyond.
std::optional<ShellLinkData> ReadShellLink(std::string_view bytes);

}  // namespace shell
