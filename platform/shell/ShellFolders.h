#pragma once
// The special folders that the Windows shell names by a number (CSIDL), as this platform has
// them: the desktop and the user's documents come from the XDG user folders, the program and
// configuration folders from the XDG base folders, and the shell's virtual folders (the
// computer, the control panel, the printers, the network, the trash) are folders without a
// file-system path. Folders Linux has no counterpart for are missing.

#include <string>
#include <string_view>

namespace shell {

/// The special-folder numbers.
namespace csidl {
inline constexpr int Desktop = 0x00;
inline constexpr int Programs = 0x02;
inline constexpr int Controls = 0x03;
inline constexpr int Printers = 0x04;
inline constexpr int Personal = 0x05;
inline constexpr int Favorites = 0x06;
inline constexpr int Startup = 0x07;
inline constexpr int Recent = 0x08;
inline constexpr int SendTo = 0x09;
inline constexpr int BitBucket = 0x0A;
inline constexpr int StartMenu = 0x0B;
inline constexpr int DesktopDirectory = 0x10;
inline constexpr int Drives = 0x11;
inline constexpr int Network = 0x12;
inline constexpr int NetHood = 0x13;
inline constexpr int Fonts = 0x14;
inline constexpr int Templates = 0x15;
inline constexpr int CommonStartMenu = 0x16;
inline constexpr int CommonPrograms = 0x17;
inline constexpr int CommonStartup = 0x18;
inline constexpr int CommonDesktopDirectory = 0x19;
inline constexpr int AppData = 0x1A;
inline constexpr int PrintHood = 0x1B;
inline constexpr int CommonFavorites = 0x1F;
inline constexpr int InternetCache = 0x20;
inline constexpr int Cookies = 0x21;
inline constexpr int History = 0x22;
}  // namespace csidl

enum class SpecialFolderKind {
    Missing,     ///< this platform has no such folder
    Root,        ///< the desktop: the root of the namespace, with the desktop folder as its path
    Virtual,     ///< a folder of the namespace without a file-system path
    FileSystem,  ///< a folder on disk (which need not exist yet)
};

struct SpecialFolder {
    SpecialFolderKind Kind = SpecialFolderKind::Missing;
    std::string Path;         ///< for Root and FileSystem: the absolute path, without trailing "/"
    std::string DisplayName;  ///< for Root and Virtual: the name the namespace shows
};

/// What the special folder with this number is here; an unknown number is missing. Read
/// afresh from the environment and the user-folders file at every call.
SpecialFolder SpecialFolderOf(int Csidl);

/// The folder that the user-folders file text (user-dirs.dirs: lines KEY="$HOME/name" or
/// KEY="/path", "#" comments) gives for Key, with "$HOME" replaced by Home; "" when the key is
/// missing or its value is neither absolute nor below "$HOME". "$HOME" alone (or with a trailing
/// "/") gives Home.
std::string UserDirFromText(std::string_view Text, std::string_view Key, const std::string& Home);

}  // namespace shell
