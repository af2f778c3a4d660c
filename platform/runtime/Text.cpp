#include "platform/runtime/Text.h"

#include "platform/runtime/Exception.h"

#include <glib.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>

namespace {

/// One step through UTF-8 text. `valid` is false for a byte that starts no valid sequence; it
/// then stands for itself (length 1) so that no input stops the walk.
struct CodePoint {
    std::uint32_t value;
    std::size_t length;
    bool valid;
};

CodePoint NextCodePoint(std::string_view text, std::size_t pos)
{
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) return {byte, 1, true};  // includes NUL, which GLib refuses
    const gunichar c = g_utf8_get_char_validated(text.data() + pos, static_cast<gssize>(text.size() - pos));
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) return {byte, 1, false};
    return {c, static_cast<std::size_t>(g_utf8_skip[byte]), true};
}

void AppendUtf8(std::string& out, std::uint32_t c)
{
    std::array<char, 6> buffer{};
    const gint n = g_unichar_to_utf8(c, buffer.data());
    out.append(buffer.data(), static_cast<std::size_t>(n));
}

template <typename Map>
std::string MapCase(std::string_view text, Map map)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const CodePoint cp = NextCodePoint(text, pos);
        if (cp.valid)
            AppendUtf8(out, map(cp.value));
        else
            out.push_back(text[pos]);
        pos += cp.length;
    }
    return out;
}

/// The value compared by the case-insensitive functions: upper-cased code points, and invalid
/// bytes above every code point so that they never equal a character.
std::uint32_t FoldedValue(const CodePoint& cp)
{
    return cp.valid ? g_unichar_toupper(cp.value) : 0x110000u + cp.value;
}

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

constexpr std::array<std::uint16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::size_t Utf8Length(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += NextCodePoint(text, pos).length) ++count;
    return count;
}

std::size_t Utf8Offset(std::string_view text, std::size_t index)
{
    std::size_t pos = 0;
    for (; index > 0 && pos < text.size(); --index) pos += NextCodePoint(text, pos).length;
    return pos;
}

std::string Utf8Cut(std::string_view text, std::size_t count)
{
    return std::string(text.substr(0, Utf8Offset(text, count)));
}

std::string Utf8CutBytes(std::string_view text, std::size_t maxBytes)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t next = pos + NextCodePoint(text, pos).length;
        if (next > maxBytes) break;
        pos = next;
    }
    return std::string(text.substr(0, pos));
}

std::string Utf8Substr(std::string_view text, std::size_t start, std::size_t count)
{
    const std::string_view rest = text.substr(Utf8Offset(text, start));
    return std::string(rest.substr(0, Utf8Offset(rest, count)));
}

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t pos = 0; pos < bytes.size();) {
        const CodePoint cp = NextCodePoint(bytes, pos);
        if (!cp.valid) return false;
        pos += cp.length;
    }
    return true;
}

std::string ReplaceControlChars(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const CodePoint cp = NextCodePoint(text, pos);
        const bool control = cp.value < 0x20 || (cp.value >= 0x7F && cp.value <= 0x9F);
        if (!cp.valid || control) {
            out += '?';
        } else {
            out.append(text.substr(pos, cp.length));
        }
        pos += cp.length;
    }
    return out;
}

std::string UpperCase(std::string_view text)
{
    return MapCase(text, g_unichar_toupper);
}
std::string LowerCase(std::string_view text)
{
    return MapCase(text, g_unichar_tolower);
}

std::string AsciiUpperCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = g_ascii_toupper(c);
    return out;
}

std::string AsciiLowerCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = g_ascii_tolower(c);
    return out;
}

int CompareText(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const CodePoint ca = NextCodePoint(a, i);
        const CodePoint cb = NextCodePoint(b, j);
        const std::uint32_t fa = FoldedValue(ca);
        const std::uint32_t fb = FoldedValue(cb);
        if (fa != fb) return fa < fb ? -1 : 1;
        i += ca.length;
        j += cb.length;
    }
    if (i < a.size()) return 1;
    return j < b.size() ? -1 : 0;
}

bool SameText(std::string_view a, std::string_view b)
{
    return CompareText(a, b) == 0;
}

bool SameTextAscii(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (g_ascii_toupper(a[i]) != g_ascii_toupper(b[i])) return false;
    return true;
}

std::optional<std::size_t> MatchPrefixText(std::string_view text, std::string_view prefix)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (j < prefix.size()) {
        if (i >= text.size()) return std::nullopt;
        const CodePoint ct = NextCodePoint(text, i);
        const CodePoint cp = NextCodePoint(prefix, j);
        if (FoldedValue(ct) != FoldedValue(cp)) return std::nullopt;
        i += ct.length;
        j += cp.length;
    }
    return i;
}

std::string TrimLeft(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) ++start;
    return std::string(text.substr(start));
}

std::string TrimRight(std::string_view text)
{
    std::size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1])) --end;
    return std::string(text.substr(0, end));
}

std::string Trim(std::string_view text)
{
    return TrimLeft(TrimRight(text));
}

std::string Windows1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out.push_back(ch);
        else
            AppendUtf8(out, b < 0xA0 ? kWindows1252High[b - 0x80] : b);
    }
    return out;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    constexpr std::uint32_t replacement = 0xFFFD;
    const auto unit = [&](std::size_t i) -> std::uint32_t {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0);
    };
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const std::uint32_t u = unit(i);
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
            const std::uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(out, (u >= 0xD800 && u < 0xE000) ? replacement : u);
    }
    if (i < bytes.size()) AppendUtf8(out, replacement);
    return out;
}

std::string Utf8ToUtf16LE(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    const auto put = [&out](std::uint32_t u) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    };
    for (std::size_t pos = 0; pos < text.size();) {
        const CodePoint cp = NextCodePoint(text, pos);
        const std::uint32_t c = cp.valid ? cp.value : 0xFFFD;
        if (c >= 0x10000) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c);
        }
        pos += cp.length;
    }
    return out;
}

std::string DecodeToUtf8(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
    if (bytes.substr(0, 2) == "\xFF\xFE") return Utf16ToUtf8(bytes.substr(2), false);
    if (bytes.substr(0, 2) == "\xFE\xFF") return Utf16ToUtf8(bytes.substr(2), true);
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return Windows1252ToUtf8(bytes);
}

std::string IntToStr(long long value)
{
    return std::to_string(value);
}

bool TryStrToInt(std::string_view text, int& value)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const std::string_view digits = text.substr(2);
        std::uint32_t bits = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), bits, 16);
        if (ec != std::errc() || end != digits.data() + digits.size()) return false;
        value = static_cast<int>(bits);
        return true;
    }
    std::string_view digits = text;
    const bool negative = !digits.empty() && digits[0] == '-';
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.remove_prefix(1);
    if (digits.empty() || !g_ascii_isdigit(digits[0])) return false;
    long long parsed = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed, 10);
    if (ec != std::errc() || end != digits.data() + digits.size()) return false;
    if (negative) parsed = -parsed;
    if (parsed < std::numeric_limits<int>::min() || parsed > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(parsed);
    return true;
}

int StrToIntDef(std::string_view text, int defaultValue)
{
    int value = 0;
    return TryStrToInt(text, value) ? value : defaultValue;
}

int StrToInt(std::string_view text)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return value;
}
