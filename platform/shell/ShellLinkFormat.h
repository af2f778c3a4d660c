#pragma once
// Internal to the shell link codec: the constants of the format and bounded little-endian
// readers and writers over byte strings.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace shell::lnk {

inline constexpr std::uint32_t kHeaderSize = 0x4C;
/// CLSID_ShellLink {00021401-0000-0000-C000-000000000046} as stored in the file.
inline constexpr std::array<unsigned char, 16> kLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                             0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
/// CLSID of "My Computer" {20D04FE0-3AEA-1069-A2D8-08002B30309D} as stored in an item id.
inline constexpr std::array<unsigned char, 16> kMyComputerClsid = {
    0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10, 0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

// LinkFlags
inline constexpr std::uint32_t kHasLinkTargetIdList = 0x0001;
inline constexpr std::uint32_t kHasLinkInfo = 0x0002;
inline constexpr std::uint32_t kHasName = 0x0004;
inline constexpr std::uint32_t kHasRelativePath = 0x0008;
inline constexpr std::uint32_t kHasWorkingDir = 0x0010;
inline constexpr std::uint32_t kHasArguments = 0x0020;
inline constexpr std::uint32_t kHasIconLocation = 0x0040;
inline constexpr std::uint32_t kIsUnicode = 0x0080;
inline constexpr std::uint32_t kForceNoLinkInfo = 0x0100;

// LinkInfoFlags
inline constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x1;
inline constexpr std::uint32_t kCommonNetworkRelativeLinkAndPathSuffix = 0x2;

inline constexpr std::uint32_t kLinkInfoHeaderSize = 0x1C;
inline constexpr std::uint32_t kLinkInfoHeaderSizeUnicode = 0x24;
inline constexpr std::uint32_t kNetworkLinkHeaderSize = 0x14;
inline constexpr std::uint32_t kDriveFixed = 3;
inline constexpr std::uint32_t kShowNormal = 1;

inline constexpr std::uint32_t kEnvironmentBlockSignature = 0xA0000001;
inline constexpr std::uint32_t kEnvironmentBlockSize = 0x314;
inline constexpr std::size_t kEnvironmentAnsiSize = 260;
inline constexpr std::size_t kEnvironmentUnicodeSize = 520;

inline constexpr std::uint32_t kFileEntryExtensionSignature = 0xBEEF0004;

/// Appends little-endian values to a byte string.
class ByteWriter {
public:
    void U8(std::uint8_t v) { bytes_ += static_cast<char>(v); }
    void U16(std::uint16_t v) { U8(v & 0xFF), U8(v >> 8); }
    void U32(std::uint32_t v) { U16(v & 0xFFFF), U16(v >> 16); }
    void U64(std::uint64_t v) { U32(v & 0xFFFFFFFF), U32(v >> 32); }
    void Bytes(std::string_view b) { bytes_ += b; }
    void Zeros(std::size_t n) { bytes_.append(n, '\0'); }
    /// Overwrites a 32-bit value written earlier at `offset`.
    void PatchU32(std::size_t offset, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    std::size_t Size() const { return bytes_.size(); }
    const std::string& Str() const { return bytes_; }
    std::string Take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

/// Reads little-endian values at offsets of a byte range; every read outside it gives
/// nothing instead of touching memory beyond the range.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

    std::size_t Size() const { return bytes_.size(); }
    std::optional<std::uint16_t> U16(std::size_t offset) const
    {
        if (!Fits(offset, 2)) return std::nullopt;
        return static_cast<std::uint16_t>(Byte(offset) | (Byte(offset + 1) << 8));
    }
    std::optional<std::uint32_t> U32(std::size_t offset) const
    {
        if (!Fits(offset, 4)) return std::nullopt;
        return static_cast<std::uint32_t>(Byte(offset) | (Byte(offset + 1) << 8) | (Byte(offset + 2) << 16) |
                                          (std::uint32_t(Byte(offset + 3)) << 24));
    }
    std::optional<std::string_view> Sub(std::size_t offset, std::size_t length) const
    {
        if (!Fits(offset, length)) return std::nullopt;
        return bytes_.substr(offset, length);
    }
    /// The bytes from `offset` up to the first NUL (or the end of the range).
    std::optional<std::string_view> AnsiZ(std::size_t offset) const
    {
        if (offset >= bytes_.size()) return std::nullopt;
        const std::string_view rest = bytes_.substr(offset);
        return rest.substr(0, rest.find('\0'));
    }
    /// The UTF-16LE code units from `offset` up to the first NUL unit (or the end).
    std::optional<std::string_view> UnicodeZ(std::size_t offset) const
    {
        if (offset >= bytes_.size()) return std::nullopt;
        std::size_t end = offset;
        while (end + 1 < bytes_.size() && (bytes_[end] != '\0' || bytes_[end + 1] != '\0')) end += 2;
        return bytes_.substr(offset, end - offset);
    }

private:
    bool Fits(std::size_t offset, std::size_t length) const
    {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    unsigned Byte(std::size_t offset) const { return static_cast<unsigned char>(bytes_[offset]); }

    std::string_view bytes_;
};

}  // namespace shell::lnk
