#pragma once
// A file that appears under its name whole or not at all: written without a name (or under a
// temporary one) and named only when it is complete. The writers of message files and of the
// files saved for the user share it.

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/runtime/FileIO.h"

/// Raises the error of a failed step in writing the file that is to be `target`; errno tells
/// why. It must not return.
using WriteFailure = void (*)(const std::filesystem::path& target);

/// The mode of a written file: a mode of its own, or, left empty, what `cp` gives: the mode of
/// the file it replaces, else that of a new file (NewFileMode).
using WrittenMode = std::optional<mode_t>;

/// A file written in `stagingDir` that appears under the target's name, whole, only when
/// committed; until then, or when anything fails, nothing is left behind. Where the file
/// system offers unnamed files (O_TMPFILE) the file has no name until it is complete, so a
/// crash leaves no temporary file and the directory is changed once instead of twice. A file
/// that has a name while it is written is created private and given its mode before a byte is
/// written; an unnamed one cannot be opened by others, and is given the mode of a file it
/// replaces only when it replaces one.
class AtomicFile {
public:
    AtomicFile(std::filesystem::path stagingDir, std::filesystem::path target, WrittenMode mode,
               WriteFailure fail);
    /// Takes over an unnamed file (OpenUnnamedFile) written elsewhere on the target's file system.
    AtomicFile(UniqueFd unnamed, std::filesystem::path target, WrittenMode mode, WriteFailure fail);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    int Fd() const { return fd_.Get(); }
    [[noreturn]] void FailOnTarget() const;

    void Write(std::string_view bytes);
    /// Flushes the bytes to disk when `sync` is set and puts the file in place, replacing a
    /// file of the target's name.
    void Commit(bool sync);

private:
    UniqueFd OpenUnnamedAfterCleaning() const;
    void SetMode(mode_t mode) const;
    std::filesystem::path TempName() const;
    void CloseOrUndo(const std::filesystem::path& named);

    std::filesystem::path stagingDir_;
    std::filesystem::path target_;
    std::filesystem::path temp_;  // the file's temporary name; empty while it has none
    WrittenMode mode_;
    WriteFailure fail_;
    UniqueFd fd_;
};

/// A new unnamed file open for writing in `dir`, with the mode of a new file, to be named later
/// by an AtomicFile under a path of the same file system; -1 (errno set) where there are no
/// unnamed files.
UniqueFd OpenUnnamedFile(const std::filesystem::path& dir);

/// Writes all of `bytes`; false (errno set) on failure.
bool WriteAll(int fd, std::string_view bytes);

/// The folder that `target` is in: "." for a bare name.
std::filesystem::path DirectoryOf(const std::filesystem::path& target);
