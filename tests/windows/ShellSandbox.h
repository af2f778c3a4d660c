#pragma once
// A home folder of the test's own for the folder browse dialog: HOME and the XDG folders point
// into a temporary folder with a desktop ("Schreibtisch") and documents ("Dokumente") named by
// its user-folders file, a few folders and a file.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempDir.h"

namespace test {

class ShellSandbox : public ::testing::Test {
protected:
    ShellSandbox()
    {
        env.Set("HOME", Home());
        env.Set("XDG_CONFIG_HOME", Home() + "/.config");
        env.Set("XDG_DATA_HOME", Home() + "/.local/share");
        env.Set("XDG_CACHE_HOME", Home() + "/.cache");
        test::WriteFile(home / ".config/user-dirs.dirs",
                        "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
        for (const char* dir : {"Schreibtisch/On desktop", "Dokumente/Letters", "Dokumente/bills",
                                ".config/trovanta", "Projects/alpha"})
            std::filesystem::create_directories(home / dir);
        test::WriteFile(home / "Dokumente/readme.txt", "x");
    }

    std::string Home() const { return home.Path().string(); }

    test::TempDir home;
    ScopedEnvironment env;
};

}  // namespace test
