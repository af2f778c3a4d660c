#pragma once
// Text routines of the engine that tidy names and addresses and turn expanded masks into
// file names. A mask keeps "\" as its subfolder separator; MaskPathToFileSystem turns a
// cleaned mask path into a file-system path with "/" once, where it meets the destination.

#include <string>
#include <string_view>

/// The message of every refused path: a part or full path too long to be written.
inline constexpr const char* PathTooLongMessage = "The full pathname for saving a file is too long.";

/// Paths of this many characters (code points) or more are refused.
inline constexpr std::size_t MaxPathChars = 260;
/// A file-name part has at most this many bytes (the file system's limit); a longer one is
/// shortened.
inline constexpr std::size_t MaxNameBytes = 255;

/// The value of an empty placeholder, and of an empty file-name part after cleaning.
inline constexpr const char* EmptyPlaceholder = "[NA]";
inline constexpr const char* EmptyFileNamePart = "NA";

/// False for the characters that may not stand in a file name: 0 to 31, the ten characters
/// " * / : < > ? \ | and the character 255 (U+00FF); true for all others.
bool IsValidFileNameChar(char32_t Ch);

/// One valid file-name part: trimmed, invalid characters removed, trimmed again, double
/// blanks collapsed, trailing dots and blanks dropped; "NA" when nothing is left. Raises
/// PathTooLongMessage at 260 characters or more; a part of more than 255 bytes is shortened
/// before its extension (FitNamePart).
std::string CleanFileName(const std::string& Name);

/// Base + Middle + Ext as one file-name part of at most MaxBytes bytes. When it is longer, the
/// end of Base goes, cut at a code-point boundary (trailing dots and blanks dropped), so that
/// Middle (a number such as " - 2") and Ext (the extension) stay. An Ext that is no file type
/// (more than 16 bytes, or a blank in it) or that leaves no room is cut at its end instead.
std::string FitNamePart(std::string_view Base, std::string_view Middle, std::string_view Ext,
                        std::size_t MaxBytes = MaxNameBytes);

/// CleanFileName on every "\"-separated part; leading backslashes vanish, a trailing one
/// leaves no trace, an empty inner part becomes "NA". The result is "\"-separated.
std::string CleanFilePath(const std::string& Path);

/// Removes one pair of enclosing quotes (both ' or both ").
std::string RemoveQuotes(const std::string& S);

/// The SMTP address in Value (cut at the first blank, TAB or ";"): a non-empty local part,
/// one "@" and a domain with a "." after its first character; else Fallback.
std::string NormalizeSmtpAddress(const std::string& Value, const std::string& Fallback);

/// Value, or "[NA]" when Value is blank.
std::string ValueOrNA(const std::string& Value);

/// Dir + "\" + Name for mask paths: an empty Dir becomes "\", no second "\" is added, one
/// leading "\" of Name is dropped.
std::string JoinMaskPath(const std::string& Dir, const std::string& Name);

/// A cleaned "\"-separated path as a relative file-system path ("/"-separated).
std::string MaskPathToFileSystem(const std::string& CleanPath);

/// The name part of an attachment's or a file's name: the text after the last "\", "/" or ":".
std::string ExtractNamePart(const std::string& FileName);

/// The extension of a name with its ".", from the last "." of its name part; "" without one.
std::string ExtractExtension(const std::string& FileName);

/// Raises PathTooLongMessage when Path has 260 characters or more, or when one of its
/// "/"-separated parts has more than 255 bytes (parts made from masks are shortened before:
/// only a destination folder's own part can be that long).
void CheckPathLength(const std::string& Path);
