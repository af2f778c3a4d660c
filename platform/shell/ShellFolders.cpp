#include "platform/shell/ShellFolders.h"

#include <algorithm>
#include <cstdlib>

#include "platform/runtime/Exception.h"
#include "platform/runtime/FileIO.h"
#include "platform/shell/KnownFolders.h"

namespace shell {
namespace {

std::string StripTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

/// An XDG base folder: the variable's value when it is an absolute path, else HOME + fallback.
std::string BaseDir(const char* variable, const char* fallbackBelowHome)
{
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') return StripTrailingSlashes(value);
    return StripTrailingSlashes(HomeDir()) + "/" + fallbackBelowHome;
}

/// The file's bytes; "" when it is missing, unreadable or no regular file (a pipe would block).
std::string ReadWholeFile(const std::string& path)
{
    const UniqueFd fd = OpenRegularFile(path);
    if (!fd) return {};
    try {
        return ReadAll(fd.Get(), path);
    } catch (const Exception&) {
        return {};
    }
}

/// A user folder (desktop, documents, templates) from the user-folders file, else HOME + name.
std::string UserDir(std::string_view key, const char* fallbackName)
{
    const std::string home = StripTrailingSlashes(HomeDir());
    const std::string text = ReadWholeFile(BaseDir("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs");
    const std::string dir = UserDirFromText(text, key, home);
    return dir.empty() ? home + "/" + fallbackName : dir;
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

/// The value of `key` on one line "KEY=value" (blanks around both allowed), or nothing.
bool ValueOfLine(std::string_view line, std::string_view key, std::string_view& value)
{
    line = TrimBlanks(line);
    if (line.empty() || line.front() == '#') return false;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || TrimBlanks(line.substr(0, equals)) != key) return false;
    value = TrimBlanks(line.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return true;
}

SpecialFolder FileSystem(std::string path)
{
    return {SpecialFolderKind::FileSystem, StripTrailingSlashes(std::move(path)), {}};
}
SpecialFolder Virtual(const char* name)
{
    return {SpecialFolderKind::Virtual, {}, name};
}

}  // namespace

std::string UserDirFromText(std::string_view Text, std::string_view Key, const std::string& Home)
{
    std::string found;
    while (!Text.empty()) {
        const std::size_t end = std::min(Text.find('\n'), Text.size());
        std::string_view value;
        // The last assignment of a key wins, as when the file is sourced by a shell.
        if (ValueOfLine(Text.substr(0, end), Key, value)) {
            if (value == "$HOME" || value.starts_with("$HOME/"))
                found = StripTrailingSlashes(Home + std::string(value.substr(5)));
            else
                found = value.starts_with('/') ? StripTrailingSlashes(std::string(value)) : std::string();
        }
        Text.remove_prefix(std::min(end + 1, Text.size()));
    }
    return found;
}

SpecialFolder SpecialFolderOf(int Csidl)
{
    switch (Csidl) {
        case csidl::Desktop:
            return {SpecialFolderKind::Root, UserDir("XDG_DESKTOP_DIR", "Desktop"), "Desktop"};
        case csidl::DesktopDirectory:
            return FileSystem(UserDir("XDG_DESKTOP_DIR", "Desktop"));
        case csidl::Personal:
            return FileSystem(UserDir("XDG_DOCUMENTS_DIR", "Documents"));
        case csidl::Templates:
            return FileSystem(UserDir("XDG_TEMPLATES_DIR", "Templates"));
        case csidl::Programs:
            return FileSystem(BaseDir("XDG_DATA_HOME", ".local/share") + "/applications");
        case csidl::Fonts:
            return FileSystem(BaseDir("XDG_DATA_HOME", ".local/share") + "/fonts");
        case csidl::Startup:
            return FileSystem(BaseDir("XDG_CONFIG_HOME", ".config") + "/autostart");
        case csidl::AppData:
            return FileSystem(BaseDir("XDG_CONFIG_HOME", ".config"));
        case csidl::InternetCache:
            return FileSystem(BaseDir("XDG_CACHE_HOME", ".cache"));
        case csidl::CommonPrograms:
            return FileSystem("/usr/share/applications");
        case csidl::CommonStartup:
            return FileSystem("/etc/xdg/autostart");
        case csidl::Drives:
            return Virtual("Computer");
        case csidl::Controls:
            return Virtual("Control Panel");
        case csidl::Printers:
            return Virtual("Printers");
        case csidl::Network:
            return Virtual("Network");
        case csidl::BitBucket:
            return Virtual("Trash");
        default:
            return {};
    }
}

}  // namespace shell
