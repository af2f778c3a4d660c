// Special folders: the user-folders file, the XDG base folders and the virtual folders.

#include "platform/shell/ShellFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempDir.h"

namespace {

using shell::SpecialFolderKind;
using shell::SpecialFolderOf;
namespace csidl = shell::csidl;

using test::ScopedEnvironment;

TEST(UserDirFromText, ReadsTheUserFoldersFileAsTheDesktopWritesIt)
{
    const std::string text =
        "# written by xdg-user-dirs-update\n"
        "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
        "  XDG_DOCUMENTS_DIR = \"/data/docs/\"\r\n"
        "XDG_TEMPLATES_DIR=\"$HOME/\"\n"
        "XDG_MUSIC_DIR=\"relative/music\"\n"
        "XDG_VIDEOS_DIR=\"$HOMEVIDEOS\"\n"
        "#XDG_PICTURES_DIR=\"/commented\"\n"
        "XDG_DESKTOP_DIR=\"$HOME/Desktop 2\"\n";
    const struct {
        const char* key;
        std::string dir;
    } cases[] = {
        {"XDG_DESKTOP_DIR", "/home/u/Desktop 2"},  // the last assignment wins
        {"XDG_DOCUMENTS_DIR", "/data/docs"},
        {"XDG_TEMPLATES_DIR", "/home/u"},
        {"XDG_MUSIC_DIR", ""},
        {"XDG_VIDEOS_DIR", ""},
        {"XDG_PICTURES_DIR", ""},
        {"XDG_DOWNLOAD_DIR", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(shell::UserDirFromText(text, c.key, "/home/u"), c.dir) << c.key;
}

TEST(SpecialFolderOf, FollowsTheUserFoldersAndTheBaseFoldersOfTheEnvironment)
{
    test::TempDir home;
    ScopedEnvironment env;
    env.Set("HOME", home.Path().string());
    env.Set("XDG_CONFIG_HOME", (home / "conf").string());
    env.Set("XDG_DATA_HOME", "relative/is/ignored");
    env.Unset("XDG_CACHE_HOME");
    test::WriteFile(home / "conf/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    const std::string h = home.Path().string();

    const auto desktop = SpecialFolderOf(csidl::Desktop);
    EXPECT_EQ(desktop.Kind, SpecialFolderKind::Root);
    EXPECT_EQ(desktop.Path, h + "/Desktop");
    EXPECT_EQ(desktop.DisplayName, "Desktop");
    const struct {
        int csidl;
        std::string path;
    } folders[] = {
        {csidl::DesktopDirectory, h + "/Desktop"}, {csidl::Personal, h + "/Dokumente"},
        {csidl::Templates, h + "/Templates"},      {csidl::AppData, h + "/conf"},
        {csidl::Startup, h + "/conf/autostart"},   {csidl::Programs, h + "/.local/share/applications"},
        {csidl::InternetCache, h + "/.cache"},     {csidl::CommonPrograms, "/usr/share/applications"},
    };
    for (const auto& f : folders) {
        EXPECT_EQ(SpecialFolderOf(f.csidl).Kind, SpecialFolderKind::FileSystem) << f.csidl;
        EXPECT_EQ(SpecialFolderOf(f.csidl).Path, f.path) << f.csidl;
    }
}

TEST(SpecialFolderOf, VirtualFoldersHaveANameAndNoPathAndTheRestIsMissing)
{
    const struct {
        int csidl;
        const char* name;
    } virtuals[] = {{csidl::Drives, "Computer"},
                    {csidl::Controls, "Control Panel"},
                    {csidl::Printers, "Printers"},
                    {csidl::Network, "Network"},
                    {csidl::BitBucket, "Trash"}};
    for (const auto& v : virtuals) {
        EXPECT_EQ(SpecialFolderOf(v.csidl).Kind, SpecialFolderKind::Virtual) << v.csidl;
        EXPECT_EQ(SpecialFolderOf(v.csidl).DisplayName, v.name);
        EXPECT_TRUE(SpecialFolderOf(v.csidl).Path.empty());
    }
    for (const int missing :
         {csidl::Favorites, csidl::Recent, csidl::SendTo, csidl::StartMenu, csidl::NetHood,
          csidl::CommonStartMenu, csidl::CommonDesktopDirectory, csidl::PrintHood, csidl::CommonFavorites,
          csidl::Cookies, csidl::History, 0x01, 0x7F, -1})
        EXPECT_EQ(SpecialFolderOf(missing).Kind, SpecialFolderKind::Missing) << missing;
}

}  // namespace
