#pragma once
// File primitives shared by the INI files and the registry: an owned file descriptor, whole-file
// reads, atomic whole-file writes, advisory locks, the "has it changed on disk" check and the
// modes that written files get.

#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

/// An owned POSIX file descriptor, closed when the object ends.
class UniqueFd {
public:
    UniqueFd() noexcept = default;
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const noexcept { return fd_; }
    explicit operator bool() const noexcept { return fd_ >= 0; }
    int Release() noexcept;
    void Reset(int fd = -1) noexcept;

private:
    int fd_ = -1;
};

/// Opens `path` for reading only when it is a regular file: the open never waits (a named pipe
/// without a writer, a device), and the opened descriptor is checked, so a file swapped in after
/// a look at its name is caught too. An invalid descriptor when the file is missing or is no
/// regular file; `info` receives the file's status when given.
UniqueFd OpenRegularFile(const std::filesystem::path& path, struct stat* info = nullptr);

/// Reads all of an open file from its current position; raises EOSError on a read error.
std::string ReadAll(int fd, const std::filesystem::path& nameForErrors);

/// Writes all of `bytes` to `fd` from its current position; raises EOSError naming
/// `nameForErrors` on a write error.
void WriteAllOrThrow(int fd, std::string_view bytes, const std::filesystem::path& nameForErrors);

/// The mode of a new file that the user writes, as `cp` gives it: 0666 less the process's umask.
/// The umask is read once, without changing it (from /proc/self/status where the kernel shows it).
mode_t NewFileMode();

/// The permission bits of the file `path`, or `otherwise` when it cannot be looked at.
mode_t ModeOfFile(const std::filesystem::path& path, mode_t otherwise);

/// The mode for a file written to `path`: an existing file's own mode (a file that is replaced
/// keeps it, as `cp` keeps it), else NewFileMode().
inline mode_t ModeForWriting(const std::filesystem::path& path)
{
    return ModeOfFile(path, NewFileMode());
}

/// Replaces `path` by `bytes` so that a reader sees either the old or the new file, never a part:
/// a temporary file in the same folder is written, flushed to disk (fsync) and renamed over
/// `path`, then the folder is flushed. The file keeps the old file's mode, a new one gets
/// `newFileMode` (by default NewFileMode()). On failure the temporary file is removed, `path` is
/// untouched and EOSError (naming `path`) is raised. A scratch file, read back and removed at
/// once, needs no flush (`durable` false): it still appears whole, but may be lost in a crash.
void WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes,
                         mode_t newFileMode = NewFileMode(), bool durable = true);

/// Flushes the entries of `folder` (files made, renamed or removed in it) to disk; false when
/// the folder cannot be opened or flushed.
bool SyncFolder(const std::filesystem::path& folder);

/// An advisory lock (flock) on a lock file, created when missing, held while the object lives.
class FileLock {
public:
    enum class Mode { Shared, Exclusive };
    FileLock(const std::filesystem::path& lockFile, Mode mode);

private:
    UniqueFd fd_;
};

/// Whether two stats of a path show the same version of the file: the same device and inode,
/// size, modification and change times (to the nanosecond).
bool SameFileVersion(const struct stat& a, const struct stat& b);

/// Remembers which version of a file was read, to tell later whether the file on disk is still
/// that version. The file is kept open, so its inode cannot be reused by a later version; the
/// check compares device, inode, size, modification and change times.
class FileStamp {
public:
    /// Reads `path` and remembers it; nothing when the file is missing or cannot be read.
    std::optional<std::string> Load(const std::filesystem::path& path);
    /// True when `path` is still the version last loaded (or still missing/unreadable).
    bool Current(const std::filesystem::path& path) const;
    /// Forgets the version, so that the next Current() is false.
    void Invalidate() noexcept;

private:
    UniqueFd fd_;
    struct stat stat_ {};
    bool valid_ = false;
    bool missing_ = false;
};
