#pragma once
// Shortcut files: a ".qel" attachment that replaces a saved attachment is a Windows shell
// link to the saved file, with the attachment's original name as its description. These
// routines create such files in the shortcut folder ("Trovanta" in the temporary folder),
// read their target back and turn a shortcut's name into the original file name.

#include <string>

/// The shortcut's file name for an attachment's original file name: the name without its
/// folder, the dot of its extension turned into "-", then ".qel" (Report.final.pdf gives
/// Report.final-pdf.qel, README gives README.qel). A name too long for one name part is
/// shortened before its extension (FitNamePart).
std::string ShortcutFileName(const std::string& FileName);

/// Creates the shortcut file for Target, described by FileName, in the shortcut folder and
/// returns its full path. An existing shortcut of the same name is replaced. Raises
/// "Error while creating the shortcut." or the OS error, and then leaves no file behind.
std::string CreateShortcut(const std::string& Target, const std::string& FileName);

/// The target path stored in a shell link file (at most 260 characters), or "" when the
/// file cannot be read, is no shell link or holds no path. Never raises.
std::string ReadShortcutTarget(const std::string& LinkFile);

/// ReadShortcutTarget; when that gives "" and LinkFile is no ".pif" file, reads a copy of
/// it named ".pif" in the folder "Trovanta/Run" of the temporary folder, which is deleted
/// again. A failed copy raises the OS error.
std::string ResolveShortcut(const std::string& LinkFile);

/// The original file name of a shortcut's name: the extension is dropped, then the
/// right-most "-" becomes "." (Report.final-pdf.qel gives Report.final.pdf); a name
/// without "-" stays without extension.
std::string ShortcutNameToFileName(const std::string& LinkName);
