#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "jobs/FileTools.h"
#include "jobs/Options.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Registry.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct JoinCase {
    const char* dir;
    const char* name;
    const char* path;
};

class JoinPathTable : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinPathTable, JoinsWithOneSlash)
{
    EXPECT_EQ(JoinPath(GetParam().dir, GetParam().name), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Cases, JoinPathTable,
                         ::testing::Values(JoinCase{"", "a.txt", "/a.txt"}, JoinCase{"/x", "/y", "/x/y"},
                                           JoinCase{"/x/", "y", "/x/y"}, JoinCase{"/x", "//y", "/x//y"},
                                           JoinCase{"/x/", "/y", "/x/y"}, JoinCase{"x", "", "x/"},
                                           JoinCase{"", "/", "/"}));

TEST(JoinKey, JoinsRegistryKeysWithBackslash)
{
    EXPECT_EQ(JoinKey("\\Software\\A", "Filter"), "\\Software\\A\\Filter");
    EXPECT_EQ(JoinKey("\\Software\\A\\", "\\Job1"), "\\Software\\A\\Job1");
    EXPECT_EQ(JoinKey("", "Me"), "\\Me");
}

TEST(ExpandHomeFolder, OnlyATildeAloneOrBeforeASlashIsTheHomeFolder)
{
    test::ScopedEnvironment env;
    env.Set("HOME", "/home/ann/");
    EXPECT_EQ(ExpandHomeFolder("~"), "/home/ann/");
    EXPECT_EQ(ExpandHomeFolder("~/Attachments"), "/home/ann/Attachments");
    EXPECT_EQ(ExpandHomeFolder("~/"), "/home/ann/");
    for (const char* kept : {"~bob/x", "~x", "/srv/~/x", "a~/b", "", "./~/x"})
        EXPECT_EQ(ExpandHomeFolder(kept), kept);
}

class FileToolsDir : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string Path(const std::string& name) const { return (dir / name).string(); }
};

TEST_F(FileToolsDir, UniqueFileNameCountsFromTwo)
{
    const std::string d = dir.Path().string();
    EXPECT_EQ(UniqueFileName(d, "QEL", ".lnk"), Path("QEL.lnk"));
    test::WriteFile(dir / "QEL.lnk", "");
    EXPECT_EQ(UniqueFileName(d, "QEL", ".lnk"), Path("QEL_2.lnk"));

    test::WriteFile(dir / "report.pdf", "");
    test::WriteFile(dir / "report_2.pdf", "");
    EXPECT_EQ(UniqueFileName(d, "report.pdf", ".pdf"), Path("report_3.pdf"));
    EXPECT_EQ(UniqueFileName(d, "notes.", ".txt"), Path("notes..txt"));
    EXPECT_EQ(UniqueFileName(d, "a.b.c", ".c"), Path("a.b.c"));
}

TEST_F(FileToolsDir, UniqueFileNameTreatsAFolderAsTaken)
{
    fs::create_directory(dir / "mail.eml");
    EXPECT_EQ(UniqueFileName(dir.Path().string(), "mail", ".eml"), Path("mail_2.eml"));
}

TEST_F(FileToolsDir, DeleteAndCopy)
{
    EXPECT_NO_THROW(FileDelete(Path("missing")));
    test::WriteFile(dir / "a", "AAA");
    test::WriteFile(dir / "b", "BBB");
    EXPECT_THROW(FileCopy(Path("a"), Path("b"), false), EOSError);
    EXPECT_EQ(test::ReadFile(dir / "b"), "BBB");
    FileCopy(Path("a"), Path("b"), true);
    EXPECT_EQ(test::ReadFile(dir / "b"), "AAA");
    EXPECT_THROW(FileCopy(Path("none"), Path("c"), true), EOSError);
    FileDelete(Path("a"));
    EXPECT_FALSE(fs::exists(dir / "a"));
}

TEST_F(FileToolsDir, SizeIsSixtyFourBit)
{
    const std::string big = Path("big");
    {
        const int fd = ::open(big.c_str(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, 3LL * 1024 * 1024 * 1024), 0);  // sparse: takes no disk space
        ::close(fd);
    }
    EXPECT_EQ(FileSizeOf(big), 3LL * 1024 * 1024 * 1024);
    EXPECT_THROW(FileSizeOf(Path("missing")), EOSError);
}

TEST_F(FileToolsDir, SetFileDateTimeRoundsToTwoSeconds)
{
    test::WriteFile(dir / "f", "x");
    SetFileDateTime(Path("f"), EncodeDate(2021, 6, 15) + EncodeTime(10, 20, 31, 700));
    struct stat st {};
    ASSERT_EQ(::stat(Path("f").c_str(), &st), 0);
    EXPECT_EQ(DateTimeFromTimeT(st.st_mtime), EncodeDate(2021, 6, 15) + EncodeTime(10, 20, 30, 0));
    EXPECT_NO_THROW(SetFileDateTime(Path("missing"), 45000));

    // A named pipe without a reader must not block the call (opening it for writing would).
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
    SetFileDateTime(Path("pipe"), EncodeDate(2021, 6, 15));
    ASSERT_EQ(::stat(Path("pipe").c_str(), &st), 0);
    EXPECT_EQ(DateTimeFromTimeT(st.st_mtime), EncodeDate(2021, 6, 15));
}

TEST_F(FileToolsDir, TempFileIsNewAndPrivate)
{
    ::setenv("TMPDIR", dir.Path().c_str(), 1);
    const std::string name = CreateTempFileName("QELxyz");
    ::unsetenv("TMPDIR");
    const fs::path path(name);
    EXPECT_TRUE(fs::is_regular_file(path));
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(path.filename().string().rfind("QEL", 0), 0u);
    EXPECT_EQ(path.extension(), ".tmp");
    EXPECT_EQ(fs::status(path.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(FileToolsDir, HelpFileLiesWithTheInstallationOrTheModule)
{
    ::setenv("TROVANTA_HOME", dir.Path().c_str(), 1);
    const std::string moduleDir = fs::path(GetOwnModuleFileName()).parent_path().string();
    EXPECT_EQ(GetInstallDir(), "");
    EXPECT_EQ(GetHelpFileName(), moduleDir + "/Trovanta.hlp");
    {
        TRegistry reg(dir.Path());
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(reg.OpenKey(RegKeyProduct, true));
        reg.WriteString("InstallDir", "/opt/trovanta");
    }
    EXPECT_EQ(ReadInstallDir(false), "");
    EXPECT_EQ(GetHelpFileName(), "/opt/trovanta/Trovanta.hlp");
    EXPECT_EQ(GetWindowsDir(), dir.Path().string());
    ::unsetenv("TROVANTA_HOME");
}

TEST(ShowHelp, GoesThroughTheRegisteredHandler)
{
    EXPECT_FALSE(ShowHelp(10));
    int shown = 0;
    SetHelpHandler([&](const std::string& file, int context) {
        shown = context;
        return file.ends_with("Trovanta.hlp");
    });
    EXPECT_TRUE(ShowHelp(42));
    EXPECT_EQ(shown, 42);
    SetHelpHandler(nullptr);
    EXPECT_FALSE(ShowHelp(1));
}

}  // namespace
