// Writes shell link files in the form the Windows shell writes for a file target.

#include <limits>

#include "platform/runtime/Text.h"
#include "platform/shell/LinkText.h"
#include "platform/shell/ShellItems.h"
#include "platform/shell/ShellLink.h"
#include "platform/shell/ShellLinkFormat.h"

namespace shell {
namespace {

using lnk::ByteWriter;

// A link-info string pair: the ANSI form (NUL-terminated) and the Unicode form
// (NUL-terminated), each placed by offset.
struct LinkInfoStrings {
    std::string ansi;
    std::string unicode;
};

LinkInfoStrings Encode(std::string_view utf8)
{
    return {Utf8ToAnsi(utf8) + std::string(1, '\0'), Utf8ToUtf16LE(utf8) + std::string(2, '\0')};
}

std::string VolumeId()
{
    ByteWriter v;
    v.U32(0x11);
    v.U32(lnk::kDriveFixed);
    v.U32(0);     // drive serial number: not known for the target
    v.U32(0x10);  // volume label offset
    v.U8(0);      // empty volume label
    return v.Take();
}

// The common network relative link for the share "\\server\share".
std::string NetworkLink(std::string_view netName)
{
    constexpr std::uint32_t kHeaderWithUnicode = lnk::kNetworkLinkHeaderSize + 8;
    const LinkInfoStrings name = Encode(netName);
    const std::size_t unicodeOffset = kHeaderWithUnicode + name.ansi.size() + name.ansi.size() % 2;
    ByteWriter n;
    n.U32(static_cast<std::uint32_t>(unicodeOffset + name.unicode.size()));
    n.U32(0);  // neither a device name nor a provider type
    n.U32(kHeaderWithUnicode);
    n.U32(0);
    n.U32(0);
    n.U32(static_cast<std::uint32_t>(unicodeOffset));
    n.U32(0);
    n.Bytes(name.ansi);
    if (name.ansi.size() % 2) n.U8(0);
    n.Bytes(name.unicode);
    return n.Take();
}

// LinkInfo with a volume id and local base path, or with a network link, plus the common
// path suffix; all strings in ANSI and in Unicode.
std::string LinkInfo(std::string_view target)
{
    const bool network = lnk::KindOf(target) == lnk::PathKind::Network;
    std::string_view base = target, suffix;
    if (network) {
        const std::size_t server = target.find('\\', 2);
        const std::size_t share = server == std::string_view::npos ? server : target.find('\\', server + 1);
        base = target.substr(0, share);
        suffix = share == std::string_view::npos ? std::string_view() : target.substr(share + 1);
        // The reader joins name and suffix with one separator: a name that ends in one (an empty
        // share name) or an empty suffix after one would not come back as written, so such a
        // path is kept whole as the share's name.
        if (base.ends_with('\\') || (share != std::string_view::npos && suffix.empty())) {
            base = target;
            suffix = {};
        }
    }
    const std::string location = network ? NetworkLink(base) : VolumeId();
    const LinkInfoStrings baseText = Encode(network ? std::string_view() : base);
    const LinkInfoStrings suffixText = Encode(suffix);

    const std::size_t locationOffset = lnk::kLinkInfoHeaderSizeUnicode;
    const std::size_t baseOffset = locationOffset + location.size();
    const std::size_t suffixOffset = baseOffset + (network ? 0 : baseText.ansi.size());
    std::size_t unicodeOffset = suffixOffset + suffixText.ansi.size();
    const std::size_t padding = unicodeOffset % 2;
    unicodeOffset += padding;
    const std::size_t unicodeSuffixOffset = unicodeOffset + (network ? 0 : baseText.unicode.size());
    const std::size_t total = unicodeSuffixOffset + suffixText.unicode.size();

    ByteWriter info;
    info.U32(static_cast<std::uint32_t>(total));
    info.U32(lnk::kLinkInfoHeaderSizeUnicode);
    info.U32(network ? lnk::kCommonNetworkRelativeLinkAndPathSuffix : lnk::kVolumeIdAndLocalBasePath);
    info.U32(network ? 0 : static_cast<std::uint32_t>(locationOffset));
    info.U32(network ? 0 : static_cast<std::uint32_t>(baseOffset));
    info.U32(network ? static_cast<std::uint32_t>(locationOffset) : 0);
    info.U32(static_cast<std::uint32_t>(suffixOffset));
    info.U32(network ? 0 : static_cast<std::uint32_t>(unicodeOffset));
    info.U32(static_cast<std::uint32_t>(unicodeSuffixOffset));
    info.Bytes(location);
    if (!network) info.Bytes(baseText.ansi);
    info.Bytes(suffixText.ansi);
    info.Zeros(padding);
    if (!network) info.Bytes(baseText.unicode);
    info.Bytes(suffixText.unicode);
    return info.Take();
}

// A StringData entry: the count of UTF-16 code units, then the units. A text longer
// than a count can say is cut at a whole character.
void AppendStringData(ByteWriter& out, std::string_view utf8)
{
    std::string units = Utf8ToUtf16LE(utf8);
    constexpr std::size_t kMaxBytes = 2 * std::numeric_limits<std::uint16_t>::max();
    if (units.size() > kMaxBytes) {
        units.resize(kMaxBytes);
        const auto last = static_cast<unsigned char>(units[kMaxBytes - 1]);
        if (last >= 0xD8 && last <= 0xDB) units.resize(kMaxBytes - 2);  // high surrogate alone
    }
    out.U16(static_cast<std::uint16_t>(units.size() / 2));
    out.Bytes(units);
}

void AppendHeader(ByteWriter& out, const ShellLinkData& link, std::uint32_t flags)
{
    out.U32(lnk::kHeaderSize);
    for (const unsigned char b : lnk::kLinkClsid) out.U8(b);
    out.U32(flags);
    out.U32(link.fileAttributes);
    out.U64(link.creationTime);
    out.U64(link.accessTime);
    out.U64(link.writeTime);
    out.U32(link.fileSize);
    out.U32(0);  // icon index
    out.U32(lnk::kShowNormal);
    out.U16(0);  // hot key
    out.Zeros(10);
}

}  // namespace

std::uint64_t FileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds)
{
    constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600LL;
    if (seconds < -kSecondsFrom1601To1970) return 0;
    return static_cast<std::uint64_t>(seconds + kSecondsFrom1601To1970) * 10000000ULL + nanoseconds / 100;
}

std::string WriteShellLink(const ShellLinkData& link)
{
    std::string idList = lnk::BuildIdList(link);
    if (idList.size() > std::numeric_limits<std::uint16_t>::max()) idList.clear();  // too deep to list
    const bool hasTarget = !link.targetPath.empty();
    std::uint32_t flags = lnk::kIsUnicode;
    if (!idList.empty()) flags |= lnk::kHasLinkTargetIdList;
    if (hasTarget) flags |= lnk::kHasLinkInfo;
    if (!link.description.empty()) flags |= lnk::kHasName;

    ByteWriter out;
    AppendHeader(out, link, flags);
    if (!idList.empty()) {
        out.U16(static_cast<std::uint16_t>(idList.size()));
        out.Bytes(idList);
    }
    if (hasTarget) out.Bytes(LinkInfo(link.targetPath));
    if (!link.description.empty()) AppendStringData(out, link.description);
    out.U32(0);  // terminal block
    return out.Take();
}

}  // namespace shell
