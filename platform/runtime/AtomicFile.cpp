#include "platform/runtime/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <exception>
#include <string>

#include "platform/runtime/TempFiles.h"

namespace fs = std::filesystem;

namespace {

/// Whether an unnamed file can be given a name through /proc (linkat with AT_EMPTY_PATH
/// needs a privilege that a user does not have).
bool CanNameUnnamedFiles()
{
    static const bool available = ::access("/proc/self/fd", X_OK) == 0;
    return available;
}

/// Gives the unnamed file `fd` the name `target` (0, or -1 with errno): with AT_EMPTY_PATH
/// where the kernel allows it to any user (Linux 6.10 on), else through the file's name
/// under /proc, which costs a lookup of that name.
int LinkUnnamed(int fd, const char* target)
{
    static std::atomic<bool> emptyPathRefused{false};
    const bool tryEmptyPath = !emptyPathRefused.load(std::memory_order_relaxed);
    if (tryEmptyPath) {
        if (::linkat(fd, "", AT_FDCWD, target, AT_EMPTY_PATH) == 0) return 0;
        if (errno != ENOENT && errno != EPERM && errno != EINVAL) return -1;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const int result = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target, AT_SYMLINK_FOLLOW);
    // Only a link that works the other way shows that the kernel refuses the empty path
    // (a missing folder fails both ways).
    if (tryEmptyPath && result == 0) emptyPathRefused.store(true, std::memory_order_relaxed);
    return result;
}

}  // namespace

AtomicFile::AtomicFile(fs::path stagingDir, fs::path target, WrittenMode mode, WriteFailure fail)
    : stagingDir_(std::move(stagingDir)),
      target_(std::move(target)),
      mode_(mode),
      fail_(fail),
      fd_(OpenUnnamedAfterCleaning())
{
    if (fd_.Get() < 0) {
        temp_ = TempName();
        fd_ = UniqueFd(::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (fd_.Get() < 0) {
            temp_.clear();
            FailOnTarget();
        }
        try {
            SetMode(mode_ ? *mode_ : ModeForWriting(target_));
        } catch (...) {
            ::unlink(temp_.c_str());  // a constructor that raises is not followed by its destructor
            throw;
        }
    } else if (mode_) {
        SetMode(*mode_);
    }
}

AtomicFile::AtomicFile(UniqueFd unnamed, fs::path target, WrittenMode mode, WriteFailure fail)
    : stagingDir_(DirectoryOf(target)),
      target_(std::move(target)),
      mode_(mode),
      fail_(fail),
      fd_(std::move(unnamed))
{
    if (mode_) SetMode(*mode_);
}

AtomicFile::~AtomicFile()
{
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

void AtomicFile::FailOnTarget() const
{
    fail_(target_);
    std::terminate();  // a WriteFailure raises
}

void AtomicFile::Write(std::string_view bytes)
{
    if (!WriteAll(fd_.Get(), bytes)) FailOnTarget();
}

void AtomicFile::Commit(bool sync)
{
    if (sync && ::fsync(fd_.Get()) != 0) FailOnTarget();
    if (temp_.empty()) {
        if (LinkUnnamed(fd_.Get(), target_.c_str()) == 0) {
            CloseOrUndo(target_);
            return;
        }
        if (errno != EEXIST) FailOnTarget();
        if (!mode_) SetMode(ModeForWriting(target_));
        // Replacing a file takes a name of its own first: rename replaces, link does not.
        temp_ = TempName();
        if (LinkUnnamed(fd_.Get(), temp_.c_str()) != 0) {
            temp_.clear();
            FailOnTarget();
        }
    }
    CloseOrUndo(temp_);
    if (::rename(temp_.c_str(), target_.c_str()) != 0) FailOnTarget();
    temp_.clear();
}

UniqueFd AtomicFile::OpenUnnamedAfterCleaning() const
{
    RemoveLeftOverTempFiles(stagingDir_);
    return OpenUnnamedFile(stagingDir_);
}

void AtomicFile::SetMode(mode_t mode) const
{
    if (::fchmod(fd_.Get(), mode) != 0) FailOnTarget();
}

/// The temporary name does not repeat the target's name: a legal name near the 255-byte limit
/// would make it too long.
fs::path AtomicFile::TempName() const
{
    return OwnTempFileName(stagingDir_);
}

/// Closes the file; a failed close (a write the file system could not finish) removes the name
/// the file was given.
void AtomicFile::CloseOrUndo(const fs::path& named)
{
    if (::close(fd_.Release()) == 0) return;
    const int error = errno;
    ::unlink(named.c_str());
    errno = error;
    FailOnTarget();
}

UniqueFd OpenUnnamedFile(const fs::path& dir)
{
    if (!CanNameUnnamedFiles()) return UniqueFd(-1);
    return UniqueFd(::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, NewFileMode()));
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

fs::path DirectoryOf(const fs::path& target)
{
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
}
