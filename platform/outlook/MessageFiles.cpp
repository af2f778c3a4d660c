#include "platform/outlook/MessageFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <system_error>

#include "platform/outlook/Errors.h"
#include "platform/outlook/MaildirNames.h"

namespace fs = std::filesystem;

namespace outlook {

namespace {

/// An owned file descriptor.
class UniqueFd {
public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { if (fd_ >= 0) ::close(fd_); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int Get() const { return fd_; }
    /// Closes now and reports whether the close succeeded.
    bool Close() { const int fd = fd_; fd_ = -1; return fd < 0 || ::close(fd) == 0; }

private:
    int fd_;
};

UniqueFd OpenForReading(const fs::path& path)
{
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        Fail("The message file \"" + path.string() + "\" cannot be read: " + std::strerror(errno));
    }
    return fd;
}

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

bool EqualsNoCaseAt(std::string_view text, std::size_t pos, std::string_view lowerNeedle)
{
    for (std::size_t i = 0; i < lowerNeedle.size(); ++i) {
        if (AsciiLowerChar(text[pos + i]) != lowerNeedle[i]) return false;
    }
    return true;
}

/// Where the needle (ASCII, lower case) stands in `text` in any letter case. The scan jumps
/// from one occurrence of the needle's first non-letter to the next (memchr speed); only a
/// needle of letters alone is compared at every position.
std::size_t FindNoCase(std::string_view text, std::string_view lowerNeedle)
{
    if (lowerNeedle.size() > text.size()) return std::string_view::npos;
    const std::size_t last = text.size() - lowerNeedle.size();
    const auto anchor = std::find_if(lowerNeedle.begin(), lowerNeedle.end(), [](char c) {
        return !(c >= 'a' && c <= 'z');
    });
    if (anchor == lowerNeedle.end()) {
        for (std::size_t pos = 0; pos <= last; ++pos) {
            if (EqualsNoCaseAt(text, pos, lowerNeedle)) return pos;
        }
        return std::string_view::npos;
    }
    const std::size_t offset = static_cast<std::size_t>(anchor - lowerNeedle.begin());
    for (std::size_t at = text.find(*anchor, offset); at != std::string_view::npos; at = text.find(*anchor, at + 1)) {
        if (at - offset > last) break;
        if (EqualsNoCaseAt(text, at - offset, lowerNeedle)) return at - offset;
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

void WriteAll(int fd, const std::string& bytes, const fs::path& path)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Fail("Cannot write \"" + path.string() + "\": " + std::strerror(errno));
        done += static_cast<std::size_t>(n);
    }
}

/// Writes, syncs (for the store's own files) and renames; removes the temporary file when
/// anything fails.
void WriteThenRename(const fs::path& temp, const fs::path& target, const std::string& bytes, bool sync)
{
    UniqueFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (fd.Get() < 0) Fail("Cannot write \"" + temp.string() + "\": " + std::strerror(errno));
    try {
        WriteAll(fd.Get(), bytes, temp);
        if ((sync && ::fsync(fd.Get()) != 0) || !fd.Close()) {
            Fail("Cannot write \"" + temp.string() + "\": " + std::strerror(errno));
        }
        if (::rename(temp.c_str(), target.c_str()) != 0) {
            Fail("Cannot write \"" + target.string() + "\": " + std::strerror(errno));
        }
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
}

}  // namespace

std::string ReadHeaderBlock(const fs::path& path)
{
    const UniqueFd fd = OpenForReading(path);
    constexpr std::size_t kBlock = 8192;
    constexpr std::size_t kLimit = 1 << 20;  // a header block larger than this is cut here
    std::string text;
    while (text.size() < kLimit) {
        const std::size_t old = text.size();
        text.resize(old + kBlock);
        const ssize_t n = ReadSome(fd.Get(), text.data() + old, kBlock);
        text.resize(old + (n > 0 ? static_cast<std::size_t>(n) : 0));
        if (n <= 0) break;
        const auto end = HeaderEnd(text, old > 2 ? old - 2 : 0);
        if (end != std::string::npos) {
            text.resize(end);
            break;
        }
    }
    return text;
}

std::string ReadWholeFile(const fs::path& path)
{
    const UniqueFd fd = OpenForReading(path);
    const auto fail = [&path] {
        Fail("The message file \"" + path.string() + "\" cannot be read: " + std::strerror(errno));
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

bool FileContainsNoCase(const fs::path& path, const std::string& needle)
{
    if (needle.empty()) return true;
    const UniqueFd fd = OpenForReading(path);
    const std::string lowerNeedle = AsciiLower(needle);
    std::string window;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ReadSome(fd.Get(), buffer, sizeof buffer);
        if (n <= 0) return false;
        window.append(buffer, static_cast<std::size_t>(n));
        if (FindNoCase(window, lowerNeedle) != std::string_view::npos) return true;
        // Keep the tail that may hold the start of a hit across two blocks.
        if (window.size() >= needle.size()) window.erase(0, window.size() - (needle.size() - 1));
    }
}

void WriteFileAtomically(const fs::path& tmpDir, const fs::path& target, const std::string& bytes)
{
    std::error_code ec;
    fs::create_directories(tmpDir, ec);
    WriteThenRename(tmpDir / NewUniqueName(), target, bytes, true);
}

void WriteUserFile(const std::string& path, const std::string& bytes)
{
    const fs::path target(path);
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    // The temporary name does not repeat the target's name: a legal name near the 255-byte limit
    // would make it too long.
    WriteThenRename(dir / (".trovanta-" + NewUniqueName() + ".part"), target, bytes, false);
}

void MoveFile(const fs::path& from, const fs::path& tmpDir, const fs::path& to)
{
    if (::rename(from.c_str(), to.c_str()) == 0) return;
    if (errno != EXDEV) Fail("Cannot move \"" + from.string() + "\": " + std::strerror(errno));
    WriteFileAtomically(tmpDir, to, ReadWholeFile(from));
    if (::unlink(from.c_str()) != 0) Fail("Cannot remove \"" + from.string() + "\": " + std::strerror(errno));
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
