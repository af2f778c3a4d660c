#pragma once
// Text, number and time encodings of message files: UTF-16LE and 8-bit strings with Windows
// code pages, little-endian integers, and FILETIME values (100-nanosecond ticks since
// 1601-01-01 UTC).

#include "platform/runtime/DateTime.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace msgfile {

/// UTF-8 to UTF-16LE without a terminator; invalid UTF-8 becomes U+FFFD first.
std::string Utf8ToUtf16Le(std::string_view utf8);
/// UTF-16LE to UTF-8. Stops at the first NUL; an odd last byte is dropped and unpaired
/// surrogates become U+FFFD, so any byte string decodes.
std::string Utf16LeToUtf8(std::string_view bytes);

/// The iconv name of a Windows code page ("UTF-8" for 65001, "CP1252" for 1252, ...).
std::string CodepageCharset(std::uint32_t codepage);
/// Bytes in `charset` to valid UTF-8. An unknown charset or bytes that are not valid in it
/// fall back to UTF-8 when the bytes are valid UTF-8, else to Windows-1252, else Latin-1.
std::string ToUtf8(std::string bytes, const std::string& charset);
/// An 8-bit string property (stops at the first NUL) in `codepage` (0: Windows-1252).
std::string DecodeString8(std::string_view bytes, std::uint32_t codepage);
/// Replaces invalid UTF-8 sequences by U+FFFD.
std::string ValidUtf8(std::string text);

/// Writes (appends) the low `bytes` bytes of `value`, least significant first.
void StoreLittleEndian(char* at, std::uint64_t value, int bytes);
void AppendLittleEndian(std::string& out, std::uint64_t value, int bytes);

/// FILETIME of a Unix time.
std::uint64_t FileTimeFromUnix(std::int64_t seconds, std::int32_t microseconds = 0);
/// Unix seconds of a FILETIME (rounded down).
std::int64_t UnixFromFileTime(std::uint64_t fileTime);
/// FILETIME of a local-time TDateTime; 0 for 0 ("no date") and for dates before 1601.
std::uint64_t FileTimeFromDateTime(TDateTime localTime);

}  // namespace msgfile
