#pragma once
// UTF-8 text helpers. Text is UTF-8 in std::string; counting, cutting and case mapping work
// on code points. Case mapping goes through GLib's Unicode tables. A byte that does not start a
// valid UTF-8 sequence counts as one code point of its own, so no input makes these fail.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

/// Number of code points in `text`.
std::size_t Utf8Length(std::string_view text);

/// The first `count` code points of `text` (all of it when shorter).
std::string Utf8Cut(std::string_view text, std::size_t count);

/// The longest start of `text` that has at most `maxBytes` bytes and ends at a code-point boundary.
std::string Utf8CutBytes(std::string_view text, std::size_t maxBytes);

/// `count` code points starting at code point `start` (0-based); empty when `start` is past the end.
std::string Utf8Substr(std::string_view text, std::size_t start, std::size_t count = std::string_view::npos);

/// Byte offset of code point `index` in `text` (text.size() when past the end).
std::size_t Utf8Offset(std::string_view text, std::size_t index);

/// True when `bytes` is well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

/// Text safe to show on a terminal: every control character (C0, DEL and the C1 range U+0080 to
/// U+009F, which terminals may read as escapes) and every byte that starts no valid UTF-8 sequence
/// becomes "?"; every other character stays as it is.
std::string ReplaceControlChars(std::string_view text);

/// Upper-case, code point by code point (g_unichar_toupper), so the result has as many code
/// points as the input; invalid bytes are kept as they are.
std::string UpperCase(std::string_view text);
/// Lower-case, code point by code point (g_unichar_tolower).
std::string LowerCase(std::string_view text);

/// Upper-/lower-case of the ASCII letters only; every other byte is kept.
std::string AsciiUpperCase(std::string_view text);
std::string AsciiLowerCase(std::string_view text);

/// Compares by upper-cased code points: < 0, 0 or > 0.
int CompareText(std::string_view a, std::string_view b);
/// CompareText(a, b) == 0.
bool SameText(std::string_view a, std::string_view b);
/// Compares ignoring the case of ASCII letters only.
bool SameTextAscii(std::string_view a, std::string_view b);

/// When `text` begins with `prefix` ignoring case (by upper-cased code points), the number of
/// bytes of `text` that the prefix covered; otherwise nothing. The byte count is that of the
/// original text, which may differ from the prefix's own length.
std::optional<std::size_t> MatchPrefixText(std::string_view text, std::string_view prefix);

/// Remove characters <= 0x20 (blanks and control characters) at either or both ends.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

/// Windows-1252 bytes to UTF-8 (the five undefined bytes map to U+0081 etc., as Windows does).
std::string Windows1252ToUtf8(std::string_view bytes);

/// UTF-16 bytes (no BOM) to UTF-8; a lone surrogate or an odd last byte becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian = false);

/// UTF-8 to UTF-16LE bytes (no BOM, no terminator); invalid bytes become U+FFFD.
std::string Utf8ToUtf16LE(std::string_view text);

/// Text read from a file of unknown origin, as UTF-8: a UTF-8 BOM is dropped, UTF-16LE/BE with a
/// BOM is converted, valid UTF-8 is kept, anything else is taken as Windows-1252.
std::string DecodeToUtf8(std::string_view bytes);

/// Decimal text of `value`.
std::string IntToStr(long long value);

/// Parses a 32-bit integer: optional sign and decimal digits, or "0x"/"0X" and up to eight hex
/// digits (read as the 32-bit pattern, so "0xFFFFFFFF" is -1). Nothing else is allowed, not even
/// blanks; out of range fails.
bool TryStrToInt(std::string_view text, int& value);
/// TryStrToInt, or `defaultValue` when the text is no integer.
int StrToIntDef(std::string_view text, int defaultValue);
/// TryStrToInt, or EConvertError "'<text>' is not a valid integer value".
int StrToInt(std::string_view text);
