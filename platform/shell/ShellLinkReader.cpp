// Reads the target and the description of shell link files from any source. Every size
// and offset comes from the file and is checked before use.

#include "platform/runtime/Text.h"
#include "platform/shell/LinkText.h"
#include "platform/shell/ShellItems.h"
#include "platform/shell/ShellLink.h"
#include "platform/shell/ShellLinkFormat.h"

#include <algorithm>

namespace shell {
namespace {

using lnk::ByteReader;

// A string of a structure at `offset` (relative to the structure), in Unicode when
// `unicodeOffset` names one, else in ANSI; empty when neither offset is usable.
std::string StructString(const ByteReader& s, std::uint32_t ansiOffset, std::uint32_t unicodeOffset)
{
    if (unicodeOffset != 0) {
        if (const auto units = s.UnicodeZ(unicodeOffset)) return Utf16ToUtf8(*units);
    }
    if (ansiOffset != 0) {
        if (const auto ansi = s.AnsiZ(ansiOffset)) return Windows1252ToUtf8(*ansi);
    }
    return {};
}

std::string JoinSuffix(std::string base, const std::string& suffix)
{
    if (suffix.empty()) return base;
    if (!base.empty() && !base.ends_with('\\')) base += '\\';
    return base + suffix;
}

// "\\server\share" of a CommonNetworkRelativeLink.
std::string NetName(const ByteReader& info, std::uint32_t offset)
{
    const auto size = info.U32(offset);
    const auto bytes = size ? info.Sub(offset, *size) : std::nullopt;
    if (!bytes) return {};
    const ByteReader link(*bytes);
    const std::uint32_t nameOffset = link.U32(8).value_or(0);
    const std::uint32_t unicodeOffset =
        nameOffset > lnk::kNetworkLinkHeaderSize ? link.U32(0x14).value_or(0) : 0;
    return StructString(link, nameOffset, unicodeOffset);
}

// The target that a LinkInfo structure names: local base path plus common path suffix,
// else network share name plus suffix.
std::string LinkInfoTarget(std::string_view bytes)
{
    const ByteReader info(bytes);
    const std::uint32_t headerSize = info.U32(4).value_or(0);
    if (headerSize < lnk::kLinkInfoHeaderSize || headerSize > info.Size()) return {};
    const std::uint32_t flags = info.U32(8).value_or(0);
    const bool unicode = headerSize >= lnk::kLinkInfoHeaderSizeUnicode;
    const std::string suffix =
        StructString(info, info.U32(0x18).value_or(0), unicode ? info.U32(0x20).value_or(0) : 0);
    if (flags & lnk::kVolumeIdAndLocalBasePath) {
        const std::string base =
            StructString(info, info.U32(0x10).value_or(0), unicode ? info.U32(0x1C).value_or(0) : 0);
        if (!base.empty()) return JoinSuffix(base, suffix);
    }
    if (flags & lnk::kCommonNetworkRelativeLinkAndPathSuffix) {
        const std::string share = NetName(info, info.U32(0x14).value_or(0));
        if (!share.empty()) return JoinSuffix(share, suffix);
    }
    return {};
}

// Reads one StringData entry at `pos` and moves past it; nothing when it does not fit.
std::optional<std::string> NextString(const ByteReader& file, std::size_t& pos, bool unicode)
{
    const auto count = file.U16(pos);
    if (!count) return std::nullopt;
    const std::size_t length = unicode ? 2 * std::size_t(*count) : *count;
    const auto bytes = file.Sub(pos + 2, length);
    if (!bytes) return std::nullopt;
    pos += 2 + length;
    return unicode ? Utf16ToUtf8(*bytes) : Windows1252ToUtf8(*bytes);
}

// The target of an EnvironmentVariableDataBlock among the extra data blocks at `pos`.
std::string EnvironmentTarget(const ByteReader& file, std::size_t pos)
{
    while (true) {
        const auto size = file.U32(pos);
        if (!size || *size < 8) return {};
        const auto block = file.Sub(pos, *size);
        if (!block) return {};
        const ByteReader b(*block);
        if (b.U32(4) == lnk::kEnvironmentBlockSignature && *size >= lnk::kEnvironmentBlockSize) {
            const auto unicode = b.Sub(8 + lnk::kEnvironmentAnsiSize, lnk::kEnvironmentUnicodeSize);
            const ByteReader u(unicode.value_or(""));
            if (const auto units = u.UnicodeZ(0); units && !units->empty()) return Utf16ToUtf8(*units);
            return Windows1252ToUtf8(
                ByteReader(b.Sub(8, lnk::kEnvironmentAnsiSize).value_or("")).AnsiZ(0).value_or(""));
        }
        pos += *size;
    }
}

bool IsLinkHeader(const ByteReader& file)
{
    const auto clsid = file.Sub(4, lnk::kLinkClsid.size());
    return file.U32(0) == lnk::kHeaderSize && file.Size() >= lnk::kHeaderSize && clsid &&
           std::equal(clsid->begin(), clsid->end(), lnk::kLinkClsid.begin(),
                      [](char a, unsigned char b) { return static_cast<unsigned char>(a) == b; });
}

ShellLinkData HeaderFields(const ByteReader& file)
{
    ShellLinkData link;
    link.fileAttributes = file.U32(0x18).value_or(0);
    const auto time = [&](std::size_t at) {
        return file.U32(at).value_or(0) | (std::uint64_t(file.U32(at + 4).value_or(0)) << 32);
    };
    link.creationTime = time(0x1C);
    link.accessTime = time(0x24);
    link.writeTime = time(0x2C);
    link.fileSize = file.U32(0x34).value_or(0);
    return link;
}

}  // namespace

std::optional<ShellLinkData> ReadShellLink(std::string_view bytes)
{
    const ByteReader file(bytes);
    if (!IsLinkHeader(file)) return std::nullopt;
    ShellLinkData link = HeaderFields(file);
    const std::uint32_t flags = file.U32(0x14).value_or(0);
    std::size_t pos = lnk::kHeaderSize;

    std::string idList;
    if (flags & lnk::kHasLinkTargetIdList) {
        const auto size = file.U16(pos);
        const auto list = size ? file.Sub(pos + 2, *size) : std::nullopt;
        if (!list) return link;
        idList = lnk::PathFromIdList(*list);
        pos += 2 + *size;
    }
    if (flags & lnk::kHasLinkInfo) {
        const auto size = file.U32(pos);
        const auto info = size ? file.Sub(pos, *size) : std::nullopt;
        if (!info) return link;
        if (!(flags & lnk::kForceNoLinkInfo)) link.targetPath = LinkInfoTarget(*info);
        pos += *size;
    }
    const bool unicode = flags & lnk::kIsUnicode;
    bool stringsComplete = true;
    for (const std::uint32_t flag : {lnk::kHasName, lnk::kHasRelativePath, lnk::kHasWorkingDir,
                                     lnk::kHasArguments, lnk::kHasIconLocation}) {
        if (!(flags & flag) || !stringsComplete) continue;
        const auto text = NextString(file, pos, unicode);
        if (!text)
            stringsComplete = false;
        else if (flag == lnk::kHasName)
            link.description = *text;
    }
    if (link.targetPath.empty() && stringsComplete) link.targetPath = EnvironmentTarget(file, pos);
    if (link.targetPath.empty()) link.targetPath = idList;
    return link;
}

}  // namespace shell
