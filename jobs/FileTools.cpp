#include "jobs/FileTools.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <random>

#include <fmt/format.h>
#include <fmt/printf.h>

#include "jobs/Options.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/FileIO.h"
#include "platform/runtime/Registry.h"
#include "platform/runtime/Text.h"
#include "platform/shell/KnownFolders.h"

namespace fs = std::filesystem;

namespace {

std::string Join(const std::string& dir, const std::string& name, char separator)
{
    std::string result = dir.empty() ? std::string(1, separator) : dir;
    if (result.back() != separator) result += separator;
    if (!name.empty() && name.front() == separator) {
        result.append(name, 1);
    } else {
        result += name;
    }
    return result;
}

/// True when anything (file, folder, link) has this name.
bool EntryExists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

THelpHandler& HelpHandler()
{
    static THelpHandler handler;
    return handler;
}

}  // namespace

std::string JoinPath(const std::string& Dir, const std::string& Name)
{
    return Join(Dir, Name, '/');
}

std::string JoinKey(const std::string& Key, const std::string& Name)
{
    return Join(Key, Name, '\\');
}

std::string ExpandHomeFolder(const std::string& Path)
{
    if (Path == "~") return shell::HomeDir();
    if (!Path.starts_with("~/")) return Path;
    std::string home = shell::HomeDir();
    while (home.size() > 1 && home.ends_with('/')) home.pop_back();
    return home + Path.substr(1);
}

void FileCopy(const std::string& Source, const std::string& Dest, bool Overwrite)
{
    const auto options = Overwrite ? fs::copy_options::overwrite_existing : fs::copy_options::none;
    std::error_code ec;
    fs::copy_file(Source, Dest, options, ec);
    if (ec) throw EOSError(ec.value(), Source);
    // A copy keeps the original's modification time.
    const fs::file_time_type time = fs::last_write_time(Source, ec);
    if (!ec) fs::last_write_time(Dest, time, ec);
}

void FileDelete(const std::string& FileName)
{
    if (::unlink(FileName.c_str()) != 0 && errno != ENOENT) RaiseLastOSError(FileName);
}

void SetFileDateTime(const std::string& FileName, TDateTime DateTime)
{
    // File date stamps count in steps of two seconds.
    struct timespec stamp = DateTimeToFileTime(DateTime);
    stamp.tv_sec -= ((stamp.tv_sec % 2) + 2) % 2;
    stamp.tv_nsec = 0;
    const struct timespec times[2] = {{0, UTIME_OMIT}, stamp};
    // Set by name: no open and close per written file, and a named pipe cannot block us. A file
    // that may not be changed (missing, not ours, read-only) is left alone without error.
    if (::utimensat(AT_FDCWD, FileName.c_str(), times, 0) == 0) return;
    if (errno == ENOENT || errno == EACCES || errno == EPERM || errno == EROFS) return;
    RaiseLastOSError(FileName);
}

std::int64_t FileSizeOf(const std::string& FileName)
{
    struct stat st {};
    if (::stat(FileName.c_str(), &st) != 0) RaiseLastOSError(FileName);
    return static_cast<std::int64_t>(st.st_size);
}

std::string CreateTempFileName(const std::string& Prefix)
{
    const std::string dir = GetTempDir();
    const std::string stem = Utf8Cut(Prefix, 3);
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
        const std::string name = fmt::format("{}{}{:X}.tmp", dir, stem, random() & 0xFFFF);
        const UniqueFd fd(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (fd) return name;
        if (errno != EEXIST) RaiseLastOSError(name);
    }
    throw EOSError(EEXIST, dir);
}

std::string UniqueFileName(const std::string& Dir, const std::string& Name, const std::string& Ext)
{
    std::string base = Name;
    const std::size_t dot = base.rfind('.');
    const std::size_t slash = base.find_last_of("/\\");
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    if (hasExtension && dot + 1 < base.size()) base.erase(dot);
    std::string candidate = JoinPath(Dir, base + Ext);
    for (long long counter = 2; EntryExists(candidate); ++counter) {
        candidate = JoinPath(Dir, fmt::sprintf("%s_%d", base, counter) + Ext);
    }
    return candidate;
}

std::string GetTempDir()
{
    return shell::PrivateTempDir() + "/";
}

std::string GetOwnModuleFileName()
{
    return shell::ModuleFileName(reinterpret_cast<const void*>(&GetOwnModuleFileName));
}

std::string GetWindowsDir()
{
    return shell::WindowsDir();
}

std::string ReadInstallDir(bool FromLocalMachine)
{
    try {
        TRegistry reg;
        reg.SetRootKey(FromLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER);
        if (!reg.OpenKeyReadOnly(RegKeyProduct)) return {};
        std::string dir = reg.ReadString("InstallDir");
        reg.CloseKey();
        return dir;
    } catch (...) {
        return {};
    }
}

std::string GetInstallDir()
{
    std::string dir = ReadInstallDir(false);
    return dir.empty() ? ReadInstallDir(true) : dir;
}

std::string GetHelpFileName()
{
    std::string dir = GetInstallDir();
    if (dir.empty()) dir = fs::path(GetOwnModuleFileName()).parent_path().string() + "/";
    return JoinPath(dir, "Trovanta.hlp");
}

void SetHelpHandler(THelpHandler handler)
{
    HelpHandler() = std::move(handler);
}

bool ShowHelp(int Context)
{
    const THelpHandler& handler = HelpHandler();
    return handler ? handler(GetHelpFileName(), Context) : false;
}
