#include "platform/shell/KnownFolders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/runtime/Exception.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string OwnName()
{
    return "trovanta-" + std::to_string(::geteuid());
}

mode_t ModeOf(const fs::path& path)
{
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { old_.empty() ? ::unsetenv(name_) : ::setenv(name_, old_.c_str(), 1); }

private:
    const char* name_;
    std::string old_;
};

}  // namespace

TEST(PrivateTempDir, IsCreatedPrivateAndFoundAgain)
{
    test::TempDir tmp;
    const ScopedEnv env("TMPDIR", tmp.Path().string() + "/");
    const std::string dir = shell::PrivateTempDir();
    EXPECT_EQ(dir, (tmp / OwnName()).string());
    EXPECT_EQ(ModeOf(dir), 0700u);
    EXPECT_EQ(shell::PrivateTempDir(), dir);
}

TEST(PrivateTempDir, OwnFolderWithLooseModeIsMadePrivate)
{
    test::TempDir tmp;
    fs::create_directory(tmp / OwnName());
    ::chmod((tmp / OwnName()).c_str(), 0777);
    EXPECT_EQ(shell::PrivateTempDirIn(tmp.Path().string()), (tmp / OwnName()).string());
    EXPECT_EQ(ModeOf(tmp / OwnName()), 0700u);
}

TEST(PrivateTempDir, SymbolicLinkOrFileIsRefused)
{
    test::TempDir tmp, elsewhere;
    fs::create_directory_symlink(elsewhere.Path(), tmp / OwnName());
    EXPECT_THROW(shell::PrivateTempDirIn(tmp.Path().string()), Exception);

    test::TempDir tmp2;
    test::WriteFile(tmp2 / OwnName(), "x");
    EXPECT_THROW(shell::PrivateTempDirIn(tmp2.Path().string()), Exception);
}

TEST(PrivateTempDir, FolderOfAnotherUserIsRefused)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a folder away";
    test::TempDir tmp;
    fs::create_directory(tmp / OwnName());
    ASSERT_EQ(::chown((tmp / OwnName()).c_str(), 65534, 65534), 0);
    try {
        shell::PrivateTempDirIn(tmp.Path().string());
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(),
                  "The temporary folder " + (tmp / OwnName()).string() + " belongs to another user.");
    }
}

TEST(PrivateTempDir, UncreatableParentRaisesOSError)
{
    test::TempDir tmp;
    EXPECT_THROW(shell::PrivateTempDirIn((tmp / "missing" / "deeper").string()), EOSError);
}

TEST(KnownFolders, WindowsDirIsTheHomeWithoutTrailingSlash)
{
    test::TempDir tmp;
    const ScopedEnv env("TROVANTA_HOME", (tmp / "home").string() + "/");
    EXPECT_EQ(shell::WindowsDir(), (tmp / "home").string());
    EXPECT_TRUE(fs::is_directory(tmp / "home"));
}

TEST(KnownFolders, HomeDirFollowsHome)
{
    const ScopedEnv env("HOME", "/home/somebody");
    EXPECT_EQ(shell::HomeDir(), "/home/somebody");
}

TEST(KnownFolders, ModuleFileNameOfProgramAndOfLibrary)
{
    EXPECT_EQ(shell::ModuleFileName(), fs::canonical("/proc/self/exe").string());
    const std::string libc = shell::ModuleFileName(reinterpret_cast<const void*>(&::getpid));
    EXPECT_NE(libc.find("libc"), std::string::npos) << libc;
    EXPECT_TRUE(fs::path(libc).is_absolute());
}
