#include "platform/shell/ShellItems.h"

#include <chrono>
#include <cstdint>

#include "platform/runtime/Text.h"
#include "platform/shell/LinkText.h"
#include "platform/shell/ShellLinkFormat.h"

namespace shell::lnk {
namespace {

constexpr std::uint8_t kRootFolderItem = 0x1F;
constexpr std::uint8_t kDriveItem = 0x2F;
constexpr std::uint8_t kFolderEntryItem = 0x31;
constexpr std::uint8_t kFileEntryItem = 0x32;
constexpr std::size_t kDriveItemSize = 0x19;
constexpr std::size_t kFileEntryNameOffset = 14;
constexpr std::uint8_t kUnicodeNameFlag = 0x04;
constexpr std::uint16_t kExtensionVersionXp = 3;
constexpr std::uint16_t kExtensionLongNameOffset = 0x14;

// The FAT date (low word) and time (high word) of a FILETIME, read as UTC; 0 when the
// time lies outside the range FAT can hold.
std::uint32_t FatDateTime(std::uint64_t fileTime)
{
    using namespace std::chrono;
    constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;
    if (fileTime < kUnixEpochAsFileTime) return 0;
    const sys_seconds t{seconds{static_cast<std::int64_t>((fileTime - kUnixEpochAsFileTime) / 10000000)}};
    const auto day = floor<days>(t);
    const year_month_day ymd{day};
    const hh_mm_ss hms{t - day};
    const int year = static_cast<int>(ymd.year());
    if (year < 1980 || year > 2107) return 0;
    const auto date =
        static_cast<std::uint32_t>(((year - 1980) << 9) | (unsigned(ymd.month()) << 5) | unsigned(ymd.day()));
    const auto time = static_cast<std::uint32_t>((hms.hours().count() << 11) | (hms.minutes().count() << 5) |
                                                 (hms.seconds().count() / 2));
    return date | (time << 16);
}

void AppendItem(ByteWriter& list, const std::string& item)
{
    list.U16(static_cast<std::uint16_t>(item.size() + 2));
    list.Bytes(item);
}

std::string RootItem()
{
    ByteWriter item;
    item.U8(kRootFolderItem);
    item.U8(0x50);  // sort index of "My Computer"
    for (const unsigned char b : kMyComputerClsid) item.U8(b);
    return item.Take();
}

std::string DriveItem(std::string_view path)
{
    ByteWriter item;
    item.U8(kDriveItem);
    item.Bytes(path.substr(0, 2));
    item.U8('\\');
    item.Zeros(kDriveItemSize - 2 - item.Size());
    return item.Take();
}

// A file-system item as Windows XP writes it: the ANSI name, then the extension block
// that carries the name in Unicode.
std::string FileEntryItem(std::string_view name, bool isFolder, const ShellLinkData& link)
{
    const std::uint32_t stamp = FatDateTime(link.writeTime);
    ByteWriter item;
    item.U8(isFolder ? kFolderEntryItem : kFileEntryItem);
    item.U8(0);
    item.U32(isFolder ? 0 : link.fileSize);
    item.U32(stamp);
    item.U16(static_cast<std::uint16_t>(isFolder ? kFileAttributeDirectory : link.fileAttributes));
    item.Bytes(Utf8ToAnsi(name));
    item.U8(0);
    if ((item.Size() + 2) % 2 != 0) item.U8(0);
    const auto extensionOffset = static_cast<std::uint16_t>(item.Size() + 2);
    const std::string unicodeName = Utf8ToUtf16LE(name);
    item.U16(static_cast<std::uint16_t>(kExtensionLongNameOffset + unicodeName.size() + 2 + 2));
    item.U16(kExtensionVersionXp);
    item.U32(kFileEntryExtensionSignature);
    item.U32(FatDateTime(link.creationTime));
    item.U32(FatDateTime(link.accessTime));
    item.U16(kExtensionLongNameOffset);
    item.U16(0);  // no localized name
    item.Bytes(unicodeName);
    item.U16(0);
    item.U16(extensionOffset);
    return item.Take();
}

// The long name of a file-system item: the Unicode name of its extension block when it
// has one, else its primary name (Unicode in items whose type has the 0x04 bit, else ANSI).
std::string FileEntryName(const ByteReader& item, std::uint8_t type)
{
    const auto extensionOffset = item.U16(item.Size() - 2);
    if (extensionOffset && *extensionOffset > kFileEntryNameOffset) {
        const ByteReader extension(item.Sub(*extensionOffset, item.Size() - *extensionOffset).value_or(""));
        const auto signature = extension.U32(4);
        const auto version = extension.U16(2);
        const auto nameOffset = extension.U16(16);
        if (signature == kFileEntryExtensionSignature && version >= kExtensionVersionXp && nameOffset) {
            if (const auto unicode = extension.UnicodeZ(*nameOffset); unicode && !unicode->empty())
                return Utf16ToUtf8(*unicode);
        }
    }
    if (type & kUnicodeNameFlag) return Utf16ToUtf8(item.UnicodeZ(kFileEntryNameOffset).value_or(""));
    return Windows1252ToUtf8(item.AnsiZ(kFileEntryNameOffset).value_or(""));
}

}  // namespace

PathKind KindOf(std::string_view path)
{
    if (path.empty()) return PathKind::Empty;
    if (path.size() >= 2 && path[1] == ':' && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z'))
        return PathKind::Drive;
    if (path.starts_with("\\\\")) return PathKind::Network;
    return PathKind::Posix;
}

std::vector<std::string_view> PathComponents(std::string_view path, PathKind kind)
{
    const char separator = kind == PathKind::Posix ? '/' : '\\';
    if (kind == PathKind::Drive) path.remove_prefix(2);
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const std::size_t end = path.find(separator);
        const std::string_view part = path.substr(0, end);
        if (!part.empty()) parts.push_back(part);
        if (end == std::string_view::npos) break;
        path.remove_prefix(end + 1);
    }
    return parts;
}

std::string BuildIdList(const ShellLinkData& link)
{
    const PathKind kind = KindOf(link.targetPath);
    if (kind != PathKind::Drive && kind != PathKind::Posix) return {};
    ByteWriter list;
    if (kind == PathKind::Drive) {
        AppendItem(list, RootItem());
        AppendItem(list, DriveItem(link.targetPath));
    }
    const auto parts = PathComponents(link.targetPath, kind);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool isLast = i + 1 == parts.size();
        AppendItem(list,
                   FileEntryItem(parts[i], !isLast || (link.fileAttributes & kFileAttributeDirectory), link));
    }
    list.U16(0);
    return list.Take();
}

std::string PathFromIdList(std::string_view idList)
{
    const ByteReader list(idList);
    std::string path;
    for (std::size_t pos = 0;;) {
        const auto size = list.U16(pos);
        if (!size || *size == 0) break;
        const auto bytes = list.Sub(pos, *size);
        if (*size < 3 || !bytes) return {};
        const ByteReader item(*bytes);
        const std::uint8_t type = static_cast<unsigned char>((*bytes)[2]);
        if ((type & 0x70) == 0x20 && path.empty()) {
            path = Windows1252ToUtf8(item.AnsiZ(3).value_or(""));  // ANSI like every short name
            if (KindOf(path) != PathKind::Drive) return {};
            if (!path.ends_with('\\')) path += '\\';
        } else if ((type & 0x70) == 0x30 && !path.empty()) {
            if (!path.ends_with('\\')) path += '\\';
            path += FileEntryName(item, type);
        } else if (!(type == kRootFolderItem && path.empty())) {
            return {};
        }
        pos += *size;
    }
    return path;
}

}  // namespace shell::lnk
