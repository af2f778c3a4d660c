#include "platform/runtime/FileIO.h"

#include "platform/runtime/Exception.h"
#include "platform/runtime/TempFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other) Reset(other.Release());
    return *this;
}

int UniqueFd::Release() noexcept
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void UniqueFd::Reset(int fd) noexcept
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

UniqueFd OpenRegularFile(const fs::path& path, struct stat* info)
{
    struct stat own {};
    struct stat& st = info != nullptr ? *info : own;
    // A device is not even opened: opening one can have effects of its own.
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd && (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))) fd.Reset();
    return fd;
}

std::string ReadAll(int fd, const fs::path& nameForErrors)
{
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) return bytes;
        if (n < 0) {
            if (errno == EINTR) continue;
            RaiseLastOSError(nameForErrors.string());
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

void WriteAllOrThrow(int fd, std::string_view bytes, const fs::path& nameForErrors)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            RaiseLastOSError(nameForErrors.string());
        }
        done += static_cast<std::size_t>(n);
    }
}

namespace {

/// Removes the temporary file unless it was renamed.
struct TempFileGuard {
    std::string name;
    bool keep = false;
    ~TempFileGuard()
    {
        if (!keep) ::unlink(name.c_str());
    }
};

/// The process's umask. Linux shows it in /proc/self/status (from 4.7 on); reading it there
/// leaves the process-wide setting alone while other threads create files. Older kernels only
/// tell it by setting it, done once on the first call.
mode_t ReadUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

}  // namespace

mode_t NewFileMode()
{
    static const mode_t mode = 0666 & ~ReadUmask();
    return mode;
}

bool SyncFolder(const fs::path& folder)
{
    const UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return dir && ::fsync(dir.Get()) == 0;
}

mode_t ModeOfFile(const fs::path& path, mode_t otherwise)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : otherwise;
}

void WriteFileAtomically(const fs::path& path, const std::string& bytes, mode_t newFileMode, bool durable)
{
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string pattern = OwnTempFileName(folder).string();
    const UniqueFd fd(::open(pattern.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd) RaiseLastOSError(path.string());
    TempFileGuard guard{pattern};

    if (::fchmod(fd.Get(), ModeOfFile(path, newFileMode)) != 0) RaiseLastOSError(path.string());
    WriteAllOrThrow(fd.Get(), bytes, path);
    if (durable && ::fsync(fd.Get()) != 0) RaiseLastOSError(path.string());
    if (::rename(pattern.c_str(), path.c_str()) != 0) RaiseLastOSError(path.string());
    guard.keep = true;
    if (durable) SyncFolder(folder);  // a folder that cannot be flushed is no error
}

FileLock::FileLock(const fs::path& lockFile, Mode mode)
    : fd_(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
{
    if (!fd_) RaiseLastOSError(lockFile.string());
    const int operation = mode == Mode::Exclusive ? LOCK_EX : LOCK_SH;
    while (::flock(fd_.Get(), operation) != 0) {
        if (errno != EINTR) RaiseLastOSError(lockFile.string());
    }
}

std::optional<std::string> FileStamp::Load(const fs::path& path)
{
    fd_ = OpenRegularFile(path, &stat_);
    valid_ = true;
    missing_ = !fd_;
    if (missing_) {
        fd_.Reset();
        return std::nullopt;
    }
    try {
        return ReadAll(fd_.Get(), path);
    } catch (const EOSError&) {
        fd_.Reset();
        missing_ = true;
        return std::nullopt;
    }
}

bool SameFileVersion(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

bool FileStamp::Current(const fs::path& path) const
{
    if (!valid_) return false;
    struct stat now {};
    if (::stat(path.c_str(), &now) != 0 || !S_ISREG(now.st_mode)) return missing_;
    if (missing_) return false;
    return SameFileVersion(now, stat_);
}

void FileStamp::Invalidate() noexcept
{
    valid_ = false;
    fd_.Reset();
}
