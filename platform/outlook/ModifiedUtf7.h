#pragma once
// IMAP's modified UTF-7 (RFC 3501, 5.1.3), in which Dovecot and Courier write the folder names
// of a Maildir++ store: printable ASCII stands for itself ("&" as "&-"), anything else is UTF-16
// in a base64 run ("&...-", with "," in place of "/"). "Kunden Zürich" is "Kunden Z&APw-rich".

#include <optional>
#include <string>
#include <string_view>

namespace outlook {

/// The name in modified UTF-7, always in the shortest form. Text that is not valid UTF-8 is
/// returned as it stands (it then holds a byte above 127, which no encoded name holds).
std::string EncodeModifiedUtf7(std::string_view utf8);

/// The UTF-8 text of a modified UTF-7 name; nullopt for text that is not one: a byte outside
/// printable ASCII, an unterminated or broken run, a lone surrogate, a NUL, and every form that
/// the encoder would not write (printable ASCII or "&" inside a run, two runs in a row, padding
/// bits that are not zero), so that decoding and encoding again give the same directory name.
std::optional<std::string> DecodeModifiedUtf7(std::string_view encoded);

}  // namespace outlook
