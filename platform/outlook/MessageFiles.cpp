#include "platform/outlook/MessageFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>
#include <system_error>

#include "platform/outlook/Errors.h"
#include "platform/outlook/MaildirNames.h"
#include "platform/runtime/AtomicFile.h"
#include "platform/runtime/FileIO.h"
#include "platform/runtime/TempFiles.h"

namespace fs = std::filesystem;

namespace outlook {

namespace {

/// The message file whose header block was read last stays open for the next read of the
/// same file: an item is read for its headers and then, when it is exported or parsed, read
/// whole, and the second open would look the name up again. One file per thread is kept.
/// Maildir messages are never changed in place: a program that rewrites one puts a new file
/// in its place, which leaves the open one without a name, and such a file is not used.
class ParkedFile {
public:
    void Park(const std::string& path, UniqueFd fd)
    {
        path_ = path;
        fd_ = std::move(fd);
    }

    /// The parked file when it is `path` and still has a name, read from its start; else none.
    UniqueFd Take(const std::string& path)
    {
        if (fd_.Get() < 0 || path != path_) return UniqueFd(-1);
        UniqueFd fd = std::move(fd_);
        path_.clear();
        struct stat st {};
        if (::fstat(fd.Get(), &st) != 0 || st.st_nlink == 0 || ::lseek(fd.Get(), 0, SEEK_SET) != 0) {
            return UniqueFd(-1);
        }
        return fd;
    }

    /// Called before a message file is written: a file written under the parked name must not
    /// be read through the file it replaced.
    void Forget()
    {
        fd_ = UniqueFd(-1);
        path_.clear();
    }

private:
    std::string path_;
    UniqueFd fd_{-1};
};

ParkedFile& Parked()
{
    thread_local ParkedFile parked;
    return parked;
}

}  // namespace

UniqueFd OpenMessageFile(const std::string& path)
{
    if (UniqueFd parked = Parked().Take(path); parked.Get() >= 0) return parked;
    // Reading a message for a job is no reading by its user: the access time stays (and the
    // file's inode unwritten). Only the file's owner may ask so; anyone else reads as usual.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOATIME));
    if (fd.Get() < 0 && errno == EPERM) fd = UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        Fail("The message file \"" + path + "\" cannot be read: " + std::strerror(errno));
    }
    return fd;
}

namespace {

ssize_t ReadSome(int fd, char* buffer, std::size_t size)
{
    ssize_t n;
    do {
        n = ::read(fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

char AsciiLowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

std::string AsciiLower(std::string text)
{
    for (char& c : text) c = AsciiLowerChar(c);
    return text;
}

/// Where the needle (ASCII, lower case) stands in `text` in any letter case: a Horspool scan
/// over case-folded bytes, which jumps by up to the needle's length past each window that
/// cannot hold a hit (base64 text holds the '/' of "text/calendar" every 64 bytes or so).
std::size_t FindNoCase(std::string_view text, std::string_view lowerNeedle)
{
    const std::size_t length = lowerNeedle.size();
    if (length == 0) return 0;
    if (length > text.size()) return std::string_view::npos;
    std::array<std::size_t, 256> shift;
    shift.fill(length);
    for (std::size_t i = 0; i + 1 < length; ++i) {
        const auto lower = static_cast<unsigned char>(lowerNeedle[i]);
        shift[lower] = length - 1 - i;
        if (lower >= 'a' && lower <= 'z') shift[lower - ('a' - 'A')] = length - 1 - i;
    }
    for (std::size_t pos = 0; pos + length <= text.size();) {
        std::size_t i = length;
        while (i > 0 && AsciiLowerChar(text[pos + i - 1]) == lowerNeedle[i - 1]) --i;
        if (i == 0) return pos;
        pos += shift[static_cast<unsigned char>(text[pos + length - 1])];
    }
    return std::string_view::npos;
}

std::size_t HeaderEnd(std::string_view text, std::size_t from)
{
    for (std::size_t pos = text.find('\n', from); pos != std::string_view::npos; pos = text.find('\n', pos + 1)) {
        if (pos + 1 < text.size() && text[pos + 1] == '\n') return pos + 2;
        if (pos + 2 < text.size() && text[pos + 1] == '\r' && text[pos + 2] == '\n') return pos + 3;
    }
    return std::string_view::npos;
}

/// Where the next line that starts with "--" (a MIME boundary) begins, at or after `from`;
/// `from` counts as a line start when `atLineStart` says so (the byte before it decides
/// otherwise). The scan jumps from dash to dash: base64 holds none.
std::size_t NextDashLine(std::string_view text, std::size_t from, bool atLineStart)
{
    for (std::size_t dash = text.find('-', from); dash != std::string_view::npos; dash = text.find('-', dash + 1)) {
        const bool lineStart = (dash == from && atLineStart) || (dash > 0 && text[dash - 1] == '\n');
        if (lineStart && dash + 1 < text.size() && text[dash + 1] == '-') return dash;
    }
    return std::string_view::npos;
}

/// Looks for a needle in the header blocks of a message given in pieces: the message's own
/// block, and the block after each line that starts with "--", up to the next blank line.
/// Between pieces it keeps only the few bytes that a hit, a blank line or a boundary may
/// span, so that a message of any size is searched in a buffer of fixed size.
class HeaderBlockSearch {
public:
    explicit HeaderBlockSearch(std::string lowerNeedle)
        : needle_(std::move(lowerNeedle)), keep_(std::max<std::size_t>(needle_.size(), 3) - 1)
    {
    }

    /// Searches `window`, which starts with the bytes kept from the window before (`kept` of
    /// them); returns true on a hit and sets `carry` to how many bytes to keep otherwise.
    bool Search(std::string_view window, std::size_t kept, std::size_t& carry)
    {
        std::size_t pos = inHeader_ ? 0 : (kept > 0 ? 1 : 0);
        bool atLineStart = !inHeader_ && kept == 0;
        for (;;) {
            if (inHeader_) {
                const std::size_t end = HeaderEnd(window, pos);
                const std::size_t stop = end == std::string_view::npos ? window.size() : end;
                if (FindNoCase(window.substr(pos, stop - pos), needle_) != std::string_view::npos) return true;
                if (end == std::string_view::npos) {
                    carry = std::min(window.size() - pos, keep_);
                    return false;
                }
                inHeader_ = false;
                pos = end;
                atLineStart = true;
            } else {
                const std::size_t dash = NextDashLine(window, pos, atLineStart);
                if (dash == std::string_view::npos) {
                    // The last bytes: the one before a dash that may start the next window,
                    // and a dash whose second one is still to come.
                    carry = std::min<std::size_t>(window.size(), 2);
                    return false;
                }
                inHeader_ = true;
                pos = dash;
            }
        }
    }

private:
    std::string needle_;
    std::size_t keep_;
    bool inHeader_ = true;
};

[[noreturn]] void FailWrite(const fs::path& path)
{
    Fail("Cannot write \"" + path.string() + "\": " + std::strerror(errno));
}

constexpr std::size_t kHeaderRead = 8192;
constexpr std::size_t kHeaderLimit = 1 << 20;  // a header block larger than this is cut here
constexpr std::size_t kPieceRead = 65536;

/// Copies what is left of `in` to `out` in the kernel; false when the file systems cannot do
/// so (before anything was copied), so that the caller copies through a buffer.
bool CopyInKernel(int in, AtomicFile& out)
{
    bool copied = false;
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out.Fd(), nullptr, std::size_t{1} << 30, 0);
        if (n > 0) {
            copied = true;
            continue;
        }
        if (n == 0) return true;
        if (errno == EINTR) continue;
        const bool unsupported = errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP;
        if (copied || !unsupported) out.FailOnTarget();
        return false;
    }
}

}  // namespace

void CloseMessageFileLeftOpen() { Parked().Forget(); }

std::string ReadHeaderBlock(const std::string& path)
{
    return ReadHeaderBlockAndSearch(path, {}, nullptr).header;
}

HeaderAndSearch ReadHeaderBlockAndSearch(const std::string& path, const std::string& needle,
                                         const std::function<bool(const std::string&)>& searchIf)
{
    UniqueFd fd = OpenMessageFile(path);
    const auto fail = [&path] {
        Fail("The message file \"" + path + "\" cannot be read: " + std::strerror(errno));
    };
    HeaderAndSearch result;
    std::string& text = result.header;
    std::size_t end = std::string::npos;
    bool atEnd = false;
    while (end == std::string::npos && text.size() < kHeaderLimit) {
        const std::size_t old = text.size();
        text.resize(old + kHeaderRead);
        const ssize_t n = ReadSome(fd.Get(), text.data() + old, kHeaderRead);
        text.resize(old + (n > 0 ? static_cast<std::size_t>(n) : 0));
        atEnd = n <= 0;
        if (atEnd) break;
        end = HeaderEnd(text, old > 2 ? old - 2 : 0);
    }
    if (!searchIf || !searchIf(text.substr(0, std::min(end, text.size())))) {
        if (end != std::string::npos) text.resize(end);
        Parked().Park(path, std::move(fd));
        return result;
    }
    // The bytes read past the block start the search, which reads on from the same file.
    HeaderBlockSearch search(AsciiLower(needle));
    std::array<char, 65536> buffer;
    std::size_t kept = 0;
    std::string_view window = text;
    for (;;) {
        std::size_t carry = 0;
        if (search.Search(window, kept, carry)) {
            result.found = true;
            break;
        }
        std::memmove(buffer.data(), window.data() + window.size() - carry, carry);
        kept = carry;
        if (atEnd) break;
        const ssize_t n = ReadSome(fd.Get(), buffer.data() + kept, buffer.size() - kept);
        if (n < 0) fail();
        if (n == 0) break;
        window = std::string_view(buffer.data(), kept + static_cast<std::size_t>(n));
    }
    if (end != std::string::npos) text.resize(end);
    Parked().Park(path, std::move(fd));
    return result;
}

void ReadFilePieces(const std::string& path, const std::function<bool(std::string_view)>& take)
{
    UniqueFd fd = OpenMessageFile(path);
    std::array<char, kPieceRead> buffer;
    for (;;) {
        const ssize_t n = ReadSome(fd.Get(), buffer.data(), buffer.size());
        if (n < 0) Fail("The message file \"" + path + "\" cannot be read: " + std::strerror(errno));
        if (n == 0 || !take(std::string_view(buffer.data(), static_cast<std::size_t>(n)))) break;
    }
    Parked().Park(path, std::move(fd));
}

bool MimeHeadersContainNoCase(const std::string& path, const std::string& needle)
{
    return ReadHeaderBlockAndSearch(path, needle, [](const std::string&) { return true; }).found;
}

std::string ReadWholeFile(const std::string& path)
{
    const UniqueFd fd = OpenMessageFile(path);
    const auto fail = [&path] {
        Fail("The message file \"" + path + "\" cannot be read: " + std::strerror(errno));
    };
    struct stat st {};
    // Read straight into the result, sized by the file; a file that grew since is read on.
    std::string text(::fstat(fd.Get(), &st) == 0 && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0, '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ReadSome(fd.Get(), text.data() + done, text.size() - done);
        if (n < 0) fail();
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    text.resize(done);
    char more[65536];
    for (;;) {
        const ssize_t n = ReadSome(fd.Get(), more, sizeof more);
        if (n < 0) fail();
        if (n == 0) break;
        text.append(more, static_cast<std::size_t>(n));
    }
    return text;
}

void WriteFileAtomically(const fs::path& tmpDir, const fs::path& target, const std::string& bytes,
                         mode_t mode)
{
    WriteFileAtomicallyWith(tmpDir, target, [&bytes](int fd) { return WriteAll(fd, bytes); }, mode);
}

void WriteFileAtomicallyWith(const fs::path& tmpDir, const fs::path& target, const FileWriter& write,
                             mode_t mode)
{
    Parked().Forget();
    std::error_code ec;
    fs::create_directories(tmpDir, ec);
    AtomicFile file(tmpDir, target, mode, FailWrite);
    if (!write(file.Fd())) file.FailOnTarget();
    file.Commit(true);
}

void WriteUserFile(const std::string& path, const std::string& bytes)
{
    WriteUserFileWith(path, [&bytes](int fd) { return WriteAll(fd, bytes); });
}

void WriteUserFileWith(const std::string& path, const FileWriter& write)
{
    const fs::path target(path);
    AtomicFile file(DirectoryOf(target), target, std::nullopt, FailWrite);
    if (!write(file.Fd())) file.FailOnTarget();
    file.Commit(false);
}

void PlaceUnnamedUserFile(UniqueFd unnamed, const std::string& path)
{
    AtomicFile file(std::move(unnamed), fs::path(path), std::nullopt, FailWrite);
    file.Commit(false);
}

void CopyUserFile(const std::string& from, const std::string& path)
{
    const UniqueFd in = OpenMessageFile(from);
    const fs::path target(path);
    AtomicFile file(DirectoryOf(target), target, std::nullopt, FailWrite);
    if (!CopyInKernel(in.Get(), file)) {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ReadSome(in.Get(), buffer, sizeof buffer);
            if (n < 0) Fail("The message file \"" + from + "\" cannot be read: " + std::strerror(errno));
            if (n == 0) break;
            file.Write(std::string_view(buffer, static_cast<std::size_t>(n)));
        }
    }
    file.Commit(false);
}

bool NameExists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

namespace {

/// The copy of a move across file systems: the copy is whole and its name on disk before the
/// original goes, since two file systems write their changes to disk each in its own time.
void MoveAcrossFileSystems(const fs::path& from, const fs::path& tmpDir, const fs::path& to)
{
    WriteFileAtomically(tmpDir, to, ReadWholeFile(from), ModeOfFile(from, NewFileMode()));
    const auto undo = [&to](const std::string& text) {
        const int error = errno;
        ::unlink(to.c_str());
        Fail(text + std::strerror(error));
    };
    if (!SyncFolder(DirectoryOf(to))) undo("Cannot write \"" + to.string() + "\": ");
    // The message stays where it was, and only there: another program may have renamed it.
    if (::unlink(from.c_str()) != 0) undo("Cannot remove \"" + from.string() + "\": ");
}

}  // namespace

MoveResult MoveFileNoReplace(const fs::path& from, const fs::path& tmpDir, const fs::path& to)
{
    // One call where the file system knows a rename that does not replace; else a look first.
    int result = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        if (NameExists(to)) return MoveResult::targetTaken;
        result = ::rename(from.c_str(), to.c_str());
    }
    if (result == 0) return MoveResult::moved;
    if (errno == EEXIST) return MoveResult::targetTaken;
    if (errno == ENOENT) return MoveResult::missing;
    if (errno != EXDEV) Fail("Cannot move \"" + from.string() + "\": " + std::strerror(errno));
    if (NameExists(to)) return MoveResult::targetTaken;
    MoveAcrossFileSystems(from, tmpDir, to);
    return MoveResult::moved;
}

std::string ReplaceHeader(const std::string& message, const std::string& name, const std::string& value)
{
    const auto firstEol = message.find('\n');
    const std::string eol = firstEol != std::string::npos && firstEol > 0 && message[firstEol - 1] == '\r' ? "\r\n" : "\n";
    const std::string line = name + ": " + value + eol;
    std::size_t pos = 0;
    while (pos < message.size()) {
        const auto end = message.find('\n', pos);
        const std::size_t next = end == std::string::npos ? message.size() : end + 1;
        const std::string_view text(message.data() + pos, next - pos);
        if (text == "\n" || text == "\r\n") break;  // the blank line ending the header block
        const bool match = text.size() > name.size() && text[name.size()] == ':' &&
                           std::equal(name.begin(), name.end(), text.begin(), [](char a, char b) {
                               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
                           });
        if (!match) {
            pos = next;
            continue;
        }
        std::size_t stop = next;
        while (stop < message.size() && (message[stop] == ' ' || message[stop] == '\t')) {
            const auto more = message.find('\n', stop);
            stop = more == std::string::npos ? message.size() : more + 1;
        }
        return message.substr(0, pos) + line + message.substr(stop);
    }
    std::string head = message.substr(0, pos);
    if (!head.empty() && head.back() != '\n') head += eol;
    return head + line + message.substr(pos);
}

std::string ToCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    std::size_t from = 0;
    for (std::size_t eol = text.find('\n'); eol != std::string::npos; eol = text.find('\n', eol + 1)) {
        out.append(text, from, eol - from);
        if (eol == 0 || text[eol - 1] != '\r') out += '\r';
        from = eol;
    }
    out.append(text, from, std::string::npos);
    return out;
}

}  // namespace outlook
