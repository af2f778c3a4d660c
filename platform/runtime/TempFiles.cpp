#include "platform/runtime/TempFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdio>
#include <deque>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = ".trovanta-";
constexpr std::string_view kSuffix = ".part";
/// A file of another host, whose writer cannot be asked, is left that long.
constexpr std::time_t kForeignAge = 36 * 60 * 60;
/// How many directories are remembered as looked at, and for how long: a process that writes
/// many files into one directory looks at it once a minute, not once a file.
constexpr std::size_t kRememberedDirs = 64;
constexpr std::time_t kRememberedFor = 60;

std::string HostPart()
{
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0 || host[0] == '\0') return "localhost";
    std::string out;
    for (const char* p = host; *p; ++p) {
        if (*p == '/')
            out += "\\057";
        else if (*p == ':')
            out += "\\072";
        else
            out += *p;
    }
    return out;
}

const std::string& ThisHost()
{
    static const std::string host = HostPart();
    return host;
}

/// The number at the start of `text` and the text after it; nothing when it does not start
/// with a digit.
std::optional<long long> TakeNumber(std::string_view& text)
{
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end == text.data()) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

bool TakeText(std::string_view& text, std::string_view expected)
{
    if (text.substr(0, expected.size()) != expected) return false;
    text.remove_prefix(expected.size());
    return true;
}

/// What a temporary name of ours tells: when and by which process on which host it was made.
struct TempNameParts {
    std::time_t made = 0;
    pid_t pid = 0;
    std::string_view host;
};

std::optional<TempNameParts> ParseTempName(std::string_view name)
{
    if (!TakeText(name, kPrefix) || name.size() < kSuffix.size() || !name.ends_with(kSuffix))
        return std::nullopt;
    name.remove_suffix(kSuffix.size());
    TempNameParts parts;
    const auto seconds = TakeNumber(name);
    if (!seconds || !TakeText(name, ".M") || !TakeNumber(name) || !TakeText(name, "P")) return std::nullopt;
    const auto pid = TakeNumber(name);
    if (!pid || *pid <= 0 || !TakeText(name, "Q") || !TakeNumber(name) || !TakeText(name, "."))
        return std::nullopt;
    parts.made = static_cast<std::time_t>(*seconds);
    parts.pid = static_cast<pid_t>(*pid);
    parts.host = name;
    return parts;
}

/// When the system started (seconds since the epoch).
std::optional<long long> BootTime()
{
    std::ifstream stat("/proc/stat");
    std::string key;
    long long value = 0;
    while (stat >> key) {
        if (key == "btime" && stat >> value) return value;
        stat.ignore(4096, '\n');
    }
    return std::nullopt;
}

/// When process `pid` started (seconds since the epoch), from /proc; nothing when unknown.
std::optional<long long> ProcessStart(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::stringstream text;
    text << file.rdbuf();
    const std::string line = text.str();
    const auto close = line.rfind(')');  // the command name may hold anything, ")" too
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(line.substr(close + 1));
    std::string field;
    // After the name: the state is field 3, the start time (clock ticks after boot) field 22.
    for (int index = 3; index <= 22 && fields >> field; ++index) {
        if (index < 22) continue;
        const auto boot = BootTime();
        if (!boot) return std::nullopt;
        return *boot + std::stoll(field) / ::sysconf(_SC_CLK_TCK);
    }
    return std::nullopt;
}

/// Whether the process that made a file at `made` runs no more: no process has its number,
/// or the one that has it started later (seconds are rounded, hence the margin).
bool WriterIsGone(pid_t pid, std::time_t made)
{
    if (::kill(pid, 0) != 0) return errno == ESRCH;
    const auto started = ProcessStart(pid);
    return started && *started > static_cast<long long>(made) + 2;
}

/// Whether `dir` was looked at lately; remembers it as looked at now when not.
bool SeenLately(const std::string& dir, std::time_t now)
{
    static std::mutex mutex;
    static std::deque<std::pair<std::string, std::time_t>> seen;  // the latest first
    const std::lock_guard lock(mutex);
    const auto found =
        std::find_if(seen.begin(), seen.end(), [&](const auto& entry) { return entry.first == dir; });
    if (found != seen.end() && now - found->second < kRememberedFor && now >= found->second) return true;
    if (found != seen.end()) seen.erase(found);
    if (seen.size() == kRememberedDirs) seen.pop_back();
    seen.emplace_front(dir, now);
    return false;
}

}  // namespace

std::string UniqueStamp()
{
    static std::atomic<unsigned> counter{0};
    timeval now{};
    gettimeofday(&now, nullptr);
    char head[96];
    snprintf(head, sizeof head, "%lld.M%06ldP%dQ%u.", static_cast<long long>(now.tv_sec),
             static_cast<long>(now.tv_usec), static_cast<int>(getpid()), ++counter);
    return head + ThisHost();
}

fs::path OwnTempFileName(const fs::path& dir)
{
    RemoveLeftOverTempFiles(dir);
    return dir / (std::string(kPrefix) + UniqueStamp() + std::string(kSuffix));
}

bool IsLeftOverTempFile(std::string_view fileName, std::time_t modified, std::time_t now)
{
    const auto parts = ParseTempName(fileName);
    if (!parts) return false;
    if (parts->host != ThisHost()) return now - modified > kForeignAge;
    return WriterIsGone(parts->pid, parts->made);
}

void RemoveLeftOverTempFiles(const fs::path& dir)
{
    const fs::path folder = dir.empty() ? fs::path(".") : dir;
    const std::time_t now = std::time(nullptr);
    if (SeenLately(folder.native(), now)) return;
    const std::unique_ptr<DIR, int (*)(DIR*)> handle(::opendir(folder.c_str()), &::closedir);
    if (!handle) return;
    while (const dirent* entry = ::readdir(handle.get())) {
        if (!std::string_view(entry->d_name).starts_with(kPrefix)) continue;
        struct stat st {};
        if (::fstatat(::dirfd(handle.get()), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode)) {
            continue;
        }
        if (IsLeftOverTempFile(entry->d_name, st.st_mtime, now))
            ::unlinkat(::dirfd(handle.get()), entry->d_name, 0);
    }
}
