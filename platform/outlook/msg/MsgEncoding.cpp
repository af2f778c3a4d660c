#include "platform/outlook/msg/MsgEncoding.h"

#include "platform/outlook/GLibPtr.h"

#include <glib.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <utility>

namespace msgfile {

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochDelta = 11644473600LL;
constexpr std::int64_t kTicksPerSecond = 10000000LL;
// 1601-01-01 and 9999-12-31 as TDateTime: the range both date types share.
constexpr TDateTime kFirstDateTime = -109205.0;
constexpr TDateTime kLastDateTime = 2958466.0;

void AppendUtf8(std::string& out, gunichar c)
{
    char buf[6];
    const int n = g_unichar_to_utf8(c, buf);
    out.append(buf, static_cast<std::size_t>(n));
}

// Converts with iconv; false when the charset is unknown or the bytes are not valid in it.
bool TryConvert(std::string_view bytes, const char* charset, std::string& out)
{
    gsize written = 0;
    GError* raw = nullptr;
    GCharPtr result(g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8", charset, nullptr,
                              &written, &raw));
    const GErrorPtr error(raw);
    if (!result || error) return false;
    out.assign(result.get(), written);
    return true;
}

/// How many bytes from `p` on are ASCII other than NUL; most text is passed over eight bytes
/// at a time.
std::size_t AsciiRun(const char* p, const char* end)
{
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    const char* const start = p;
    for (; end - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
        // The lowest flagged byte is the first that is not ASCII or is a NUL.
        const std::uint64_t stop = (word | ((word - kOnes) & ~word)) & kHigh;
        if (stop != 0) return static_cast<std::size_t>(p - start) + std::countr_zero(stop) / 8;
    }
    while (p < end && static_cast<unsigned char>(*p) - 1u < 0x7Fu) ++p;
    return static_cast<std::size_t>(p - start);
}

/// The character at `p` (before `end`) and its length in bytes; 0 when the bytes there are not
/// valid UTF-8 (a NUL counts as not valid). One- and two-byte characters are decoded here.
std::size_t NextChar(const char* p, const char* end, gunichar& c)
{
    const auto byte = static_cast<unsigned char>(*p);
    if (byte < 0x80) {
        c = byte;
        return byte != 0 ? 1 : 0;
    }
    const auto next = end - p >= 2 ? static_cast<unsigned char>(p[1]) : 0u;
    if (byte >= 0xC2 && byte <= 0xDF && (next & 0xC0) == 0x80) {
        c = ((byte & 0x1Fu) << 6) | (next & 0x3Fu);
        return 2;
    }
    c = g_utf8_get_char_validated(p, end - p);
    return c < 0x110000 ? static_cast<std::size_t>(g_utf8_skip[byte]) : 0;
}

/// As g_utf8_validate with a length (a NUL is not valid), faster on ASCII.
bool IsUtf8(std::string_view text)
{
    for (const char *p = text.data(), *end = p + text.size(); p < end;) {
        p += AsciiRun(p, end);
        if (p == end) break;
        gunichar c;
        const std::size_t length = NextChar(p, end, c);
        if (length == 0) return false;
        p += length;
    }
    return true;
}

/// Writes `c` as one or two UTF-16LE units at `o`; returns the end.
char* PutUtf16(char* o, gunichar c)
{
    const auto put = [&o](gunichar unit) {
        *o++ = static_cast<char>(unit & 0xFF);
        *o++ = static_cast<char>(unit >> 8);
    };
    if (c >= 0x10000) {
        c -= 0x10000;
        put(0xD800 + (c >> 10));
        put(0xDC00 + (c & 0x3FF));
    } else {
        put(c);
    }
    return o;
}

}  // namespace

std::string ValidUtf8(std::string text)
{
    if (IsUtf8(text)) return text;
    return TakeString(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
}

std::string Utf8ToUtf16Le(std::string_view utf8)
{
    // No character takes more than twice its UTF-8 length in UTF-16.
    std::string out(utf8.size() * 2, '\0');
    char* o = out.data();
    // Checked as it is converted: text that is not valid UTF-8 is repaired and converted again.
    for (const char *p = utf8.data(), *end = p + utf8.size(); p < end;) {
        const std::size_t ascii = AsciiRun(p, end);
        for (std::size_t i = 0; i < ascii; ++i) o[2 * i] = p[i];  // the high bytes stay 0
        p += ascii;
        o += 2 * ascii;
        if (p == end) break;
        gunichar c;
        const std::size_t length = NextChar(p, end, c);
        if (length == 0) return Utf8ToUtf16Le(ValidUtf8(std::string(utf8)));
        p += length;
        o = PutUtf16(o, c);
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string Utf16LeToUtf8(std::string_view bytes)
{
    std::string out;
    const std::size_t units = bytes.size() / 2;
    auto unitAt = [&](std::size_t i) {
        return static_cast<gunichar>(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    };
    for (std::size_t i = 0; i < units; ++i) {
        const gunichar unit = unitAt(i);
        if (unit == 0) break;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units && unitAt(i + 1) >= 0xDC00 && unitAt(i + 1) < 0xE000) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::string CodepageCharset(std::uint32_t codepage)
{
    switch (codepage) {
    case 0: return "CP1252";
    case 65001: return "UTF-8";
    case 20127: return "US-ASCII";
    case 1200: return "UTF-16LE";
    case 1201: return "UTF-16BE";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 50220:
    case 50221:
    case 50222: return "ISO-2022-JP";
    case 50225: return "ISO-2022-KR";
    case 51932: return "EUC-JP";
    case 51936: return "GB2312";
    case 51949: return "EUC-KR";
    case 52936: return "HZ-GB-2312";
    case 54936: return "GB18030";
    default: break;
    }
    if (codepage >= 28591 && codepage <= 28605) return "ISO-8859-" + std::to_string(codepage - 28590);
    return "CP" + std::to_string(codepage);
}

std::string ToUtf8(std::string bytes, const std::string& charset)
{
    const bool valid = IsUtf8(bytes);
    // UTF-8 needs no conversion: valid bytes stay as they are.
    if (valid && g_ascii_strcasecmp(charset.c_str(), "UTF-8") == 0) return bytes;
    std::string out;
    if (!charset.empty() && TryConvert(bytes, charset.c_str(), out)) return ValidUtf8(std::move(out));
    if (valid) return bytes;
    if (TryConvert(bytes, "CP1252", out)) return out;
    TryConvert(bytes, "ISO-8859-1", out);
    return out;
}

std::string DecodeString8(std::string_view bytes, std::uint32_t codepage)
{
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    return ToUtf8(std::string(bytes), CodepageCharset(codepage));
}

void StoreLittleEndian(char* at, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void AppendLittleEndian(std::string& out, std::uint64_t value, int bytes)
{
    char little[8];
    StoreLittleEndian(little, value, 8);
    out.append(little, static_cast<std::size_t>(bytes));
}

std::uint64_t FileTimeFromUnix(std::int64_t seconds, std::int32_t microseconds)
{
    if (seconds < -kEpochDelta) return 0;
    return static_cast<std::uint64_t>((seconds + kEpochDelta) * kTicksPerSecond + std::int64_t{microseconds} * 10);
}

std::int64_t UnixFromFileTime(std::uint64_t fileTime)
{
    return static_cast<std::int64_t>(fileTime / kTicksPerSecond) - kEpochDelta;
}

std::uint64_t FileTimeFromDateTime(TDateTime localTime)
{
    if (localTime == 0 || !std::isfinite(localTime) || localTime < kFirstDateTime || localTime > kLastDateTime) return 0;
    const struct timespec ts = DateTimeToFileTime(localTime);
    return FileTimeFromUnix(ts.tv_sec, static_cast<std::int32_t>(ts.tv_nsec / 1000));
}

}  // namespace msgfile
