#include <gtest/gtest.h>
#include <sys/stat.h>

#include "jobs/SearchPathList.h"
#include "tests/support/TempDir.h"

namespace {

class SearchPaths : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string P(const std::string& rel) const { return (dir / rel).string(); }
};

TEST_F(SearchPaths, FileRoundTripWithCrLf)
{
    TSearchPathList list;
    list.Add(P("old") + "=" + P("new"));
    list.Add("/a=/b=c");
    list.SaveToFile(P("sub/deeper/QELRUN.TXT"));
    EXPECT_EQ(test::ReadFile(dir / "sub/deeper/QELRUN.TXT"), P("old") + "=" + P("new") + "\r\n/a=/b=c\r\n");

    test::WriteFile(dir / "win.txt", "/x=/y\r\n/z=/w\n/\xE4=/q\r");
    TSearchPathList loaded;
    loaded.Add("stale");
    loaded.LoadFromFile(P("win.txt"));
    ASSERT_EQ(loaded.Count(), 3u);
    EXPECT_EQ(loaded[1], "/z=/w");
    EXPECT_EQ(loaded[2], "/ä=/q");
    loaded.LoadFromFile(P("missing.txt"));
    EXPECT_EQ(loaded.Count(), 0u);
    // A named pipe without a writer reads as missing at once instead of waiting for one.
    ASSERT_EQ(::mkfifo(P("pipe.txt").c_str(), 0600), 0);
    loaded.Add("stale");
    loaded.LoadFromFile(P("pipe.txt"));
    EXPECT_EQ(loaded.Count(), 0u);
}

TEST_F(SearchPaths, FindsFilesBelowAMovedRoot)
{
    test::WriteFile(dir / "new/docs/sub/r.pdf", "x");
    test::WriteFile(dir / "second/docs/other.pdf", "x");
    TSearchPathList list;
    list.Add(P("OLD") + "=" + P("nothing-here"));
    list.Add(P("old/") + "=" + P("new"));
    list.Add(P("old") + "=" + P("second") + "/");

    std::string found;
    EXPECT_TRUE(list.FindFile(P("old/docs/sub/r.pdf"), found));
    EXPECT_EQ(found, P("new/docs/sub/r.pdf"));
    EXPECT_TRUE(list.FindFile(P("old/docs/other.pdf"), found));
    EXPECT_EQ(found, P("second/docs/other.pdf"));
    EXPECT_FALSE(list.FindFile(P("old/docs/none.pdf"), found));
    EXPECT_EQ(found, P("second/docs/none.pdf"));

    EXPECT_TRUE(list.FindFile(P("new/docs/sub/r.pdf"), found));
    EXPECT_EQ(found, P("new/docs/sub/r.pdf"));
}

TEST_F(SearchPaths, MapsTargetsOfShortcutsMadeOnWindows)
{
    test::WriteFile(dir / "docs/Sub/a.txt", "x");
    TSearchPathList list;
    list.Add("C:\\Old=" + P("nowhere"));  // "C:\Older\" must not match "C:\Old\"
    list.Add("c:\\older=" + P("docs"));

    std::string found;
    EXPECT_TRUE(list.FindInSearchPaths("C:\\OLDER\\Sub\\a.txt", found));
    EXPECT_EQ(found, P("docs/Sub/a.txt"));
    EXPECT_FALSE(list.FindInSearchPaths("C:\\Old\\Sub\\a.txt", found));
    EXPECT_EQ(found, P("nowhere/Sub/a.txt"));
}

TEST_F(SearchPaths, LineWithoutNewRootIsSkipped)
{
    // Without the skip, "<dir>/etc/hostname" would be found as "/etc/hostname".
    TSearchPathList list;
    list.Add(P(""));
    list.Add(P("") + "=");
    std::string found = "unchanged";
    EXPECT_FALSE(list.FindInSearchPaths(P("etc/hostname"), found));
    EXPECT_EQ(found, "unchanged");
}

}  // namespace
