// Which files a shortcut may bring back without a question, and the remembered list of the
// folders attachments were saved to.

#include "jobs/TrustedFolders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "jobs/Options.h"
#include "jobs/SearchPathList.h"
#include "jobs/ShortcutFolders.h"
#include "platform/runtime/Registry.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;
using Folders = std::vector<std::string>;

namespace {

class TrustedFoldersTest : public ::testing::Test {
protected:
    TrustedFoldersTest()
    {
        for (const char* file : {"saved/a.pdf", "saved/sub/b.pdf", "savedX/c.pdf", "private/key.txt"})
            test::WriteFile(dir / file, "x");
        fs::create_symlink(dir / "private" / "key.txt", dir / "saved" / "link.pdf");
        fs::create_symlink(dir / "private", dir / "saved" / "linked-dir");
        fs::create_symlink(dir / "saved", dir / "via-link");
    }
    std::string P(const std::string& rel) const { return (dir / rel).string(); }
    test::TempDir dir;
};

TEST_F(TrustedFoldersTest, AdmitsOnlyRegularFilesWhoseRealPathLiesInsideAFolder)
{
    TTrustedFolders trusted;
    trusted.Add(P("via-link/"));  // kept in its canonical form
    trusted.Add(P("saved"));
    trusted.Add(P("missing"));
    trusted.Add(P("saved/a.pdf"));  // a file is no folder
    trusted.Add("");
    trusted.Add("relative/saved");
    EXPECT_EQ(trusted.Folders(), Folders{CanonicalPath(P("saved"))});

    EXPECT_EQ(trusted.Admit(P("saved/a.pdf")), CanonicalPath(P("saved/a.pdf")));
    EXPECT_EQ(trusted.Admit(P("via-link/sub/b.pdf")), CanonicalPath(P("saved/sub/b.pdf")));
    EXPECT_EQ(trusted.Admit(P("saved/sub/../a.pdf")), CanonicalPath(P("saved/a.pdf")));
    for (const char* outside : {"savedX/c.pdf", "saved/../private/key.txt", "saved/link.pdf",
                                "saved/linked-dir/key.txt", "saved/sub", "saved/none.pdf"}) {
        EXPECT_EQ(trusted.Admit(P(outside)), "") << outside;
    }
    EXPECT_EQ(trusted.Admit("C:\\Docs\\a.pdf"), "");
}

TEST(FolderParts, ComparedPartByPart)
{
    EXPECT_TRUE(IsInsideFolder("/a/b/x", "/a/b"));
    EXPECT_TRUE(IsInsideFolder("/a/b", "/a/b"));
    EXPECT_TRUE(IsInsideFolder("/a/b", "/"));
    EXPECT_FALSE(IsInsideFolder("/a/bc/x", "/a/b"));
    EXPECT_FALSE(IsInsideFolder("/a", "/a/b"));
    EXPECT_FALSE(IsInsideFolder("/a/b", ""));
}

TEST_F(TrustedFoldersTest, SearchPathRootsOnBothSidesAreTrusted)
{
    TSearchPathList list;
    list.Add(P("saved") + "=" + P("savedX"));
    list.Add(P("private"));  // a line without "=" names its original root only
    list.Add("C:\\Old=D:\\New");
    TTrustedFolders trusted;
    trusted.AddSearchPaths(list);
    EXPECT_EQ(trusted.Folders(),
              (Folders{CanonicalPath(P("saved")), CanonicalPath(P("savedX")), CanonicalPath(P("private"))}));
}

TEST_F(TrustedFoldersTest, RememberedListRoundTripsBoundedAndWithoutDuplicates)
{
    TRegistry reg(dir / "registry");
    RememberShortcutFolder(reg, "/first");
    RememberShortcutFolder(reg, "/second");
    RememberShortcutFolder(reg, "/first");  // used again: first once more, not twice
    TShortcutFolders list;
    list.LoadFromRegistry(reg, RegKeyShortcutFolders);
    EXPECT_EQ(list.Folders(), (Folders{"/first", "/second"}));

    for (std::size_t i = 0; i < TShortcutFolders::MaxCount + 5; ++i) list.Add("/f" + std::to_string(i));
    list.Add("");
    list.SaveToRegistry(reg, RegKeyShortcutFolders);
    TShortcutFolders loaded;
    loaded.LoadFromRegistry(reg, RegKeyShortcutFolders);
    ASSERT_EQ(loaded.Folders().size(), TShortcutFolders::MaxCount);
    EXPECT_EQ(loaded.Folders().front(), "/f" + std::to_string(TShortcutFolders::MaxCount + 4));

    // A folder name with a line break stays one entry; relative names and other types hold none.
    ASSERT_TRUE(reg.OpenKey(RegKeyShortcutFolders, true));
    reg.WriteMultiString("Folders", {"/x\r\n/etc", "relative", "/y", "/x\r\n/etc"});
    loaded.LoadFromRegistry(reg, RegKeyShortcutFolders);
    EXPECT_EQ(loaded.Folders(), (Folders{"/x\r\n/etc", "/y"}));
    ASSERT_TRUE(reg.OpenKey(RegKeyShortcutFolders, false));
    reg.WriteString("Folders", "/z");
    loaded.LoadFromRegistry(reg, RegKeyShortcutFolders);
    EXPECT_TRUE(loaded.Folders().empty());
}

TEST_F(TrustedFoldersTest, SettingsNameTheRememberedFoldersAndTheSaveDestinations)
{
    TRegistry reg(dir / "registry");
    RememberShortcutFolder(reg, P("via-link"));
    TManualOptions manual;
    manual.SaveAttachments().DestPath = P("savedX");
    manual.SaveToRegistry(reg, RegKeyAdHoc);
    TAutoOptions rules;
    rules.Jobs().NewJob().SaveAttachments().DestPath = P("private");
    rules.SaveToRegistry(reg, RegKeyAuto);
    EXPECT_EQ(LoadSavedFolders(reg).Folders(),
              (Folders{CanonicalPath(P("saved")), CanonicalPath(P("savedX")), CanonicalPath(P("private"))}));
}

}  // namespace
