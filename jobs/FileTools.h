#pragma once
// Free file, path and help routines shared by the whole system. They hold no state, except
// the help handler that the windows register. Failures raise EOSError unless said otherwise.
//
// Paths: file paths are joined with "/" (JoinPath); registry key paths with "\" (JoinKey).

#include <cstdint>
#include <functional>
#include <string>

#include "platform/runtime/DateTime.h"

/// Dir + "/" + Name: an empty Dir becomes "/", a "/" is added unless Dir ends with one, and
/// one leading "/" of Name is dropped.
std::string JoinPath(const std::string& Dir, const std::string& Name);

/// The same rules for registry key paths, with "\".
std::string JoinKey(const std::string& Key, const std::string& Name);

/// A folder or file path as the user typed it, with "~" alone or a leading "~/" standing for the
/// home folder, as in a shell; every other path (also "~user") is returned unchanged. Applied
/// where a typed or stored path meets the file system.
std::string ExpandHomeFolder(const std::string& Path);

/// Copies a file; without Overwrite an existing Dest makes the copy fail.
void FileCopy(const std::string& Source, const std::string& Dest, bool Overwrite);

/// Deletes the file if it exists; a missing file is no error.
void FileDelete(const std::string& FileName);

/// Sets the file's modification time (local time, two-second resolution). A file that
/// cannot be opened for writing is left alone without error.
void SetFileDateTime(const std::string& FileName, TDateTime DateTime);

/// Size of the file in bytes (64-bit).
std::int64_t FileSizeOf(const std::string& FileName);

/// The private temporary folder, with its trailing "/".
std::string GetTempDir();

/// Creates a new, empty file in the temporary folder, named from the first three
/// characters of Prefix, a hexadecimal number and ".tmp"; returns its full name.
std::string CreateTempFileName(const std::string& Prefix);

/// First path that does not exist yet: Dir/Base+Ext, then Dir/Base_2+Ext, Dir/Base_3+Ext...
/// Base is Name without its extension. Nothing is created.
std::string UniqueFileName(const std::string& Dir, const std::string& Name, const std::string& Ext);

/// Full path of the program or library that contains this code.
std::string GetOwnModuleFileName();

/// The "Windows" folder of this platform (the Trovanta home), without a trailing "/".
std::string GetWindowsDir();

/// "InstallDir" of the product key under HKEY_CURRENT_USER, or HKEY_LOCAL_MACHINE with
/// FromLocalMachine; "" when missing or on any error.
std::string ReadInstallDir(bool FromLocalMachine);

/// ReadInstallDir for the current user, else for the local machine.
std::string GetInstallDir();

/// "Trovanta.hlp" in the installation folder, else in the folder of the module.
std::string GetHelpFileName();

/// Shows a help topic: (help file, context number) -> whether it was shown.
using THelpHandler = std::function<bool(const std::string& helpFile, int context)>;

/// Registers the handler that shows help (the windows do; the batch program has none).
/// An empty handler removes it.
void SetHelpHandler(THelpHandler handler);

/// Shows the help topic with this context number from GetHelpFileName(); false when no
/// handler is registered or the handler could not show it.
bool ShowHelp(int Context);
