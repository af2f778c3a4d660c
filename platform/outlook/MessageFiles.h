#pragma once
// File operations on message files: reading the header block or the whole file, and
// writing a file so that it appears whole or not at all (an unnamed file or a temporary name,
// then put in place under its name).

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/runtime/FileIO.h"

namespace outlook {

/// The header block of a message file up to and including the blank line that ends it.
/// Raises ComError when the file cannot be opened.
std::string ReadHeaderBlock(const std::string& path);

/// The message file opened for reading from its start, without touching its access time where
/// the reader owns it; raises ComError when it cannot be opened. The file whose header block was
/// read last is still open and is handed out again instead of being looked up anew.
UniqueFd OpenMessageFile(const std::string& path);

/// Closes the file that this thread's last read left open for the next one.
void CloseMessageFileLeftOpen();

/// The whole file; raises ComError when it cannot be read.
std::string ReadWholeFile(const std::string& path);

/// Hands `take` the file's bytes from its start, a piece at a time, until `take` returns false
/// or the file ends; a file whose header block was read just before is not opened again.
/// Raises ComError when the file cannot be read.
void ReadFilePieces(const std::string& path, const std::function<bool(std::string_view)>& take);

struct HeaderAndSearch {
    std::string header;  ///< as ReadHeaderBlock gives it
    bool found = false;  ///< whether the search was made and found the needle
};
/// The header block, and, when `searchIf` says so for that block, whether a header block of
/// the message file contains `needle` (ASCII, any case): the message's own, or that of a MIME
/// part (the lines after a line that starts with "--", up to the next blank line). Bodies are
/// passed over, so that a search in a message with large attachments costs little more than
/// reading it; the file is opened once for both.
HeaderAndSearch ReadHeaderBlockAndSearch(const std::string& path, const std::string& needle,
                                         const std::function<bool(const std::string&)>& searchIf);
/// The search alone, made in every case.
bool MimeHeadersContainNoCase(const std::string& path, const std::string& needle);

/// Writes `bytes` to `tmpDir`, flushes them to disk and renames the file to `target`, which
/// gets `mode`. Raises ComError on failure and leaves no partial file behind.
void WriteFileAtomically(const std::filesystem::path& tmpDir, const std::filesystem::path& target,
                         const std::string& bytes, mode_t mode);

/// Writes `bytes` to `path` as an ordinary file (for SaveAs and SaveAsFile); the file
/// appears whole or not at all, with the mode that `cp` would give it (ModeForWriting).
void WriteUserFile(const std::string& path, const std::string& bytes);

/// Writes into a file through its descriptor; false (errno set) when a write failed.
using FileWriter = std::function<bool(int fd)>;
/// As WriteFileAtomically and WriteUserFile, the content written by `write` as it comes, so
/// that a large message or attachment is never held in memory whole.
void WriteFileAtomicallyWith(const std::filesystem::path& tmpDir, const std::filesystem::path& target,
                             const FileWriter& write, mode_t mode);
void WriteUserFileWith(const std::string& path, const FileWriter& write);

/// Puts the complete unnamed file `unnamed` in place under `path` as WriteUserFileWith puts
/// what it wrote. Raises ComError on failure and leaves no name behind.
void PlaceUnnamedUserFile(UniqueFd unnamed, const std::string& path);

/// Whether a file (of any kind) has this name.
bool NameExists(const std::string& path);

/// How a move ended that did not raise.
enum class MoveResult {
    moved,
    targetTaken,  ///< a file has the target's name: nothing was moved
    missing,      ///< the file, or the target's folder, is not there: nothing was moved
};
/// Moves a file, never over a file of the target's name; copies across file systems (the copy
/// keeps the file's mode and is on disk before the original goes). Raises ComError on any
/// other failure, the file then where it was.
MoveResult MoveFileNoReplace(const std::filesystem::path& from, const std::filesystem::path& tmpDir,
                             const std::filesystem::path& to);

/// The message with the header `name` (any case, with its continuation lines) replaced by
/// "name: value", or added at the end of the header block; the rest stays byte for byte.
/// `value` must already be encoded for a header; the message's line ends are kept.
std::string ReplaceHeader(const std::string& message, const std::string& name, const std::string& value);

/// Copies the message file `from` to `path` byte for byte (in the kernel where the file systems
/// allow); the file appears whole or not at all.
void CopyUserFile(const std::string& from, const std::string& path);

/// LF line ends turned into CR LF (CR LF pairs stay as they are).
std::string ToCrLf(const std::string& text);

}  // namespace outlook
