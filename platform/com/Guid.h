#pragma once
// Globally unique identifiers of classes and interfaces, with their braced text form
// "{465698C2-5138-4DCC-84B9-F7E23B9BB44E}".

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::array<std::uint8_t, 8> Data4{};

    friend constexpr bool operator==(const GUID&, const GUID&) = default;

    /// Parses the braced form (braces optional, hex digits in either case);
    /// nullopt for anything else.
    static constexpr std::optional<GUID> Parse(std::string_view text);
    /// The braced, upper-case form.
    std::string ToString() const;
};

using IID = GUID;
using CLSID = GUID;

/// The all-zero identifier.
inline constexpr GUID GUID_NULL{};

namespace guid_detail {
constexpr int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace guid_detail

constexpr std::optional<GUID> GUID::Parse(std::string_view text)
{
    if (text.size() == 38 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return std::nullopt;
    std::array<std::uint8_t, 16> bytes{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23) continue;
        const int hi = guid_detail::HexValue(text[i]);
        const int lo = guid_detail::HexValue(text[++i]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes[n++] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    GUID g;
    g.Data1 = (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) | (std::uint32_t(bytes[2]) << 8) | bytes[3];
    g.Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    g.Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    for (std::size_t i = 0; i < 8; ++i) g.Data4[i] = bytes[8 + i];
    return g;
}

/// A GUID from a literal, checked at compile time: `constexpr IID iid = MakeGuid("{...}");`
consteval GUID MakeGuid(std::string_view text)
{
    const auto g = GUID::Parse(text);
    if (!g) throw "malformed GUID literal";
    return *g;
}

template <>
struct std::hash<GUID> {
    std::size_t operator()(const GUID& g) const noexcept
    {
        std::size_t h = g.Data1 ^ (std::size_t(g.Data2) << 32) ^ (std::size_t(g.Data3) << 48);
        for (auto b : g.Data4) h = h * 131 + b;
        return h;
    }
};
