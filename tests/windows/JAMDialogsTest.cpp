// The folder browse component and its shell routines, in a home folder of the test's own.

#include "windows/JAMDialogs.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/windows/ShellSandbox.h"

namespace fs = std::filesystem;

namespace {

using test::ShellSandbox;

PItemIDList Parse(const std::string& path)
{
    return PathToPidl(std::nullopt, path);
}

// ---- Flags, roots and properties ---------------------------------------------------------

TEST(JamBrowseForFolder, StartsNewStyleCentredAtTheDesktopAndKeepsTheStyleFlagsApart)
{
    TJamBrowseForFolder browse;
    EXPECT_EQ(browse.Options(), (TJamBrowseFlags{bfNewDialogStyle}));
    EXPECT_EQ(browse.DialogLeft(), -1);
    EXPECT_EQ(browse.DialogTop(), -1);
    EXPECT_EQ(browse.RootedAt(), SF_DESKTOP);

    browse.SetOptions({bfNewDialogStyle, bfFileSystemOnly});
    EXPECT_EQ(browse.Options(), (TJamBrowseFlags{bfNewDialogStyle}));
    browse.SetOptions({bfFileSystemOnly});
    EXPECT_EQ(browse.Options(), (TJamBrowseFlags{bfFileSystemOnly}));
    browse.SetOptions({bfFileSystemOnly, bfEditBox, bfBrowseIncludeFiles});
    EXPECT_EQ(browse.Options(), (TJamBrowseFlags{bfFileSystemOnly, bfEditBox, bfBrowseIncludeFiles}));

    browse.SetRootedAt(SF_PERSONAL);
    browse.SetRootedAtFileSystemFolder("/srv");
    EXPECT_EQ(browse.RootedAt(), SF_FILESYSTEMFOLDER);
}

TEST(JamBrowseFlags, MapToTheShellsRequestFlags)
{
    EXPECT_EQ(BrowseFlagBits({bfNewDialogStyle}), 0x40u);
    EXPECT_EQ(BrowseFlagBits({bfFileSystemOnly}), 0x1u);
    EXPECT_EQ(BrowseFlagBits({bfBrowseIncludeFiles}), 0x4000u);
    EXPECT_EQ(BrowseFlagBits({bfEditBox}), 0x10u);
    EXPECT_EQ(BrowseFlagBits({}), 0u);
}

TEST(JamShellFolder, StandsForTheSpecialFolderNumbersInItsOrder)
{
    const int csidls[ShellFolderCount] = {0x11, 0x0A, 0x03, 0x00, 0x10, 0x11, 0x14, 0x13, 0x12, 0x05,
                                          0x04, 0x02, 0x08, 0x09, 0x0B, 0x07, 0x15, 0x06, 0x16, 0x18,
                                          0x19, 0x1A, 0x1B, 0x1F, 0x20, 0x21, 0x22, 0x17};
    static_assert(ShellFolderCount == 28);
    for (int i = 0; i < ShellFolderCount; ++i)
        EXPECT_EQ(ShellFolderCsidl(static_cast<TJamShellFolder>(i)), csidls[i]) << i;
}

// ---- Item-id lists -----------------------------------------------------------------------

TEST(ItemIdLists, CountSizeAndCopyFollowTheItemsUpToTheTerminator)
{
    EXPECT_EQ(PidlSize(std::nullopt), 0u);
    EXPECT_EQ(PidlCount(std::nullopt), 0u);
    EXPECT_FALSE(PidlCopy(std::nullopt));

    const PItemIDList desktop = PathToPidl(std::nullopt, "");
    ASSERT_TRUE(desktop);
    EXPECT_EQ(PidlSize(desktop), 2u);
    EXPECT_EQ(PidlCount(desktop), 0u);
    EXPECT_EQ(PidlAlloc(2), desktop);
    EXPECT_EQ(PidlAlloc(7)->Bytes, std::string(7, '\0'));
    EXPECT_EQ(PidlSize(PidlAlloc(7)), 2u);
    EXPECT_EQ(PidlCopy(PidlAlloc(7)), desktop);

    const PItemIDList tmp = Parse("/tmp");
    ASSERT_TRUE(tmp);
    EXPECT_EQ(PidlCount(tmp), 2u);  // the root and "tmp"
    EXPECT_EQ(PidlSize(tmp), 4u + 6u + 2u);
    EXPECT_EQ(PidlCopy(tmp), tmp);
    EXPECT_EQ(PidlCount(Parse("/")), 1u);

    // A size that runs past the bytes, or no terminator, is no list.
    EXPECT_EQ(PidlCount(TItemIdList{std::string("\x09\x00F/", 4)}), 0u);
    EXPECT_EQ(PidlSize(TItemIdList{std::string("\x04\x00F/", 4)}), 0u);
    EXPECT_EQ(GetPidlPath(TItemIdList{std::string("\x02\x00\x00\x00", 4)}), "");
}

TEST_F(ShellSandbox, PathsBecomeListsAndBack)
{
    const std::string letters = Home() + "/Dokumente/Letters";
    EXPECT_EQ(GetPidlPath(Parse(letters)), letters);
    EXPECT_EQ(GetPidlPath(Parse(letters + "/")), letters);
    EXPECT_EQ(Parse(Home() + "/Dokumente/./bills/../Letters"), Parse(letters));
    EXPECT_EQ(GetPidlPath(Parse("/")), "/");
    EXPECT_EQ(GetPidlPath(Parse(Home() + "/Dokumente/readme.txt")), Home() + "/Dokumente/readme.txt");
    EXPECT_FALSE(Parse(Home() + "/missing"));
    EXPECT_EQ(GetPidlPath(std::nullopt), "");

    // A relative path lies below the folder's path; below the desktop without a folder.
    EXPECT_EQ(GetPidlPath(PathToPidl(Parse(Home() + "/Dokumente"), "Letters")), letters);
    EXPECT_EQ(GetPidlPath(PathToPidl(std::nullopt, "On desktop")), Home() + "/Schreibtisch/On desktop");
    EXPECT_FALSE(PathToPidl(GetSpecialFolderPidl(SF_DRIVES), "Letters"));
}

TEST_F(ShellSandbox, PathsLongerThan260CharactersAreNotParsed)
{
    const std::string base = Home() + "/";
    const std::size_t room = 260 - base.size();
    ASSERT_LT(room, 255u);
    const std::string fits = base + std::string(room, 'a');
    const std::string tooLong = base + std::string(room + 1, 'b');
    // Characters count, not bytes: 'e' with an acute accent takes two bytes and one character.
    ASSERT_GT(room, 102u);
    std::string accented = base;
    for (int i = 0; i < 100; ++i) accented += "\xC3\xA9";
    accented += "/" + std::string(room - 101, 'c');
    for (const std::string& dir : {fits, tooLong, accented}) fs::create_directories(dir);

    EXPECT_EQ(GetPidlPath(Parse(fits)), fits);
    EXPECT_EQ(GetPidlPath(Parse(accented)), accented);
    EXPECT_FALSE(Parse(tooLong));
}

TEST_F(ShellSandbox, SpecialFoldersHaveListsAndAreFoundByThem)
{
    const PItemIDList desktop = GetSpecialFolderPidl(SF_DESKTOP);
    EXPECT_EQ(PidlCount(desktop), 0u);
    EXPECT_EQ(GetPidlPath(desktop), Home() + "/Schreibtisch");
    EXPECT_EQ(GetPidlPath(GetSpecialFolderPidl(SF_PERSONAL)), Home() + "/Dokumente");
    EXPECT_EQ(GetPidlPath(GetSpecialFolderPidl(SF_DESKTOPDIRECTORY)), Home() + "/Schreibtisch");
    EXPECT_EQ(GetPidlPath(GetSpecialFolderPidl(SF_APPDATA)), Home() + "/.config");

    // Virtual folders have a list but no path; missing ones have no list.
    for (const TJamShellFolder folder : {SF_DRIVES, SF_CONTROLS, SF_PRINTERS, SF_NETWORK, SF_BITBUCKET}) {
        EXPECT_EQ(PidlCount(GetSpecialFolderPidl(folder)), 1u) << folder;
        EXPECT_EQ(GetPidlPath(GetSpecialFolderPidl(folder)), "") << folder;
    }
    EXPECT_EQ(GetSpecialFolderPidl(SF_FILESYSTEMFOLDER), GetSpecialFolderPidl(SF_DRIVES));
    EXPECT_FALSE(GetSpecialFolderPidl(SF_FAVORITES));
    EXPECT_FALSE(GetSpecialFolderPidl(SF_TEMPLATES));  // its folder does not exist

    EXPECT_EQ(GetSpecialFolderIndex(desktop), SF_DESKTOP);
    EXPECT_EQ(GetSpecialFolderIndex(Parse(Home() + "/Dokumente")), SF_PERSONAL);
    EXPECT_EQ(GetSpecialFolderIndex(Parse(Home() + "/Schreibtisch")), SF_DESKTOPDIRECTORY);
    EXPECT_EQ(GetSpecialFolderIndex(GetSpecialFolderPidl(SF_DRIVES)), SF_DRIVES);
    EXPECT_EQ(GetSpecialFolderIndex(GetSpecialFolderPidl(SF_CONTROLS)), SF_CONTROLS);
    EXPECT_EQ(GetSpecialFolderIndex(Parse(Home() + "/Projects")), SF_FILESYSTEMFOLDER);
    EXPECT_EQ(GetSpecialFolderIndex(std::nullopt), SF_FILESYSTEMFOLDER);

    EXPECT_EQ(GetPidlDisplayName(desktop), "Desktop");
    EXPECT_EQ(GetPidlDisplayName(GetSpecialFolderPidl(SF_DRIVES)), "Computer");
    EXPECT_EQ(GetPidlDisplayName(Parse(Home() + "/Projects/alpha")), "alpha");
    EXPECT_EQ(GetPidlDisplayName(Parse("/")), "/");
    EXPECT_EQ(GetPidlDisplayName(std::nullopt), "");

    EXPECT_TRUE(HasFileSystemPath("/"));
    EXPECT_FALSE(HasFileSystemPath("Computer"));
    EXPECT_FALSE(HasFileSystemPath(""));
}

// ---- Windows around the dialog -----------------------------------------------------------

TEST(DialogWindows, TheOwnerWindowIsTheFormTheComponentSitsOn)
{
    QWidget form;
    QWidget* panel = new QWidget(&form);
    QWidget* control = new QWidget(panel);
    TJamBrowseForFolder onForm(&form);
    TJamBrowseForFolder onControl(control);
    EXPECT_EQ(GetOwnerWindowHandle(&onForm), &form);
    EXPECT_EQ(GetOwnerWindowHandle(&onControl), &form);

    QObject notAWindow;
    TJamBrowseForFolder unowned(&notAWindow);
    EXPECT_EQ(GetOwnerWindowHandle(&unowned), GetMainWindowHandle());
    QMainWindow main;
    main.show();
    EXPECT_EQ(GetMainWindowHandle(), &main);
    EXPECT_EQ(GetOwnerWindowHandle(&unowned), &main);
    EXPECT_EQ(GetOwnerWindowHandle(nullptr), &main);
}

TEST(DialogWindows, CentringUsesIntegerHalvesOfScreenAndWindow)
{
    QWidget window;
    window.resize(201, 101);
    CenterDialogWindow(&window);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize size = window.frameGeometry().size();
    EXPECT_EQ(window.pos(), QPoint(screen.x() + screen.width() / 2 - size.width() / 2,
                                   screen.y() + screen.height() / 2 - size.height() / 2));
    EXPECT_EQ(window.size(), QSize(201, 101));
    CenterDialogWindow(nullptr);
}

}  // namespace
