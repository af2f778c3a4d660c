// Temporary files left behind by killed runs: which of a folder's files count as left over,
// and that nothing else is removed.

#include "platform/runtime/TempFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

/// The number of a process that has ended.
pid_t EndedProcess()
{
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

/// A temporary name as this system makes it, with the given time, process and host.
std::string TempName(long long made, pid_t pid, const std::string& host)
{
    return ".trovanta-" + std::to_string(made) + ".M000001P" + std::to_string(pid) + "Q7." + host + ".part";
}

/// This host as temporary names hold it.
std::string ThisHost()
{
    const std::string stamp = UniqueStamp();
    return stamp.substr(stamp.find('.', stamp.find('Q')) + 1);
}

void Touch(const fs::path& file, std::time_t modified)
{
    std::ofstream(file) << "left";
    const timespec times[2] = {{modified, 0}, {modified, 0}};
    ::utimensat(AT_FDCWD, file.c_str(), times, 0);
}

TEST(TempFiles, OnlyFilesOfEndedWritersAreLeftOver)
{
    const std::time_t now = std::time(nullptr);
    const std::string host = ThisHost();
    const pid_t ended = EndedProcess();
    EXPECT_TRUE(IsLeftOverTempFile(TempName(now, ended, host), now, now));
    EXPECT_FALSE(IsLeftOverTempFile(TempName(now, ::getpid(), host), now, now)) << "a live writer's file";
    EXPECT_TRUE(IsLeftOverTempFile(TempName(1000, ::getpid(), host), now, now))
        << "made before its number's process started: another process's";
    EXPECT_FALSE(IsLeftOverTempFile(TempName(now, ended, "elsewhere"), now - 3600, now))
        << "another host's, new";
    EXPECT_TRUE(IsLeftOverTempFile(TempName(now, ended, "elsewhere"), now - 2 * 86400, now));
    for (const std::string& other : std::vector<std::string>{
             ".trovanta-abc.part", ".report.pdf.A1B2C3D4.part", TempName(now, ended, host) + ".bak",
             "1700000000.M1P" + std::to_string(ended)}) {
        EXPECT_FALSE(IsLeftOverTempFile(other, now - 30 * 86400, now)) << other;
    }
    const fs::path own = OwnTempFileName("/nowhere");
    EXPECT_EQ(own.parent_path(), fs::path("/nowhere"));
    EXPECT_FALSE(IsLeftOverTempFile(own.filename().string(), now, now)) << "this process's own";
}

TEST(TempFiles, RemovesTheLeftOverFilesOfAFolderAndNothingElse)
{
    const test::TempDir dir;
    const std::time_t now = std::time(nullptr);
    const std::string host = ThisHost();
    const fs::path left = dir.Path() / TempName(now, EndedProcess(), host);
    const fs::path live = dir.Path() / TempName(now, ::getpid(), host);
    const fs::path foreign = dir.Path() / ".mutt-tmp-1234.part";
    for (const auto& file : {left, live, foreign}) Touch(file, now - 2 * 86400);
    const fs::path folder = dir.Path() / TempName(now, EndedProcess(), host);
    fs::create_directory(folder);
    RemoveLeftOverTempFiles(dir.Path());
    EXPECT_FALSE(fs::exists(left));
    EXPECT_TRUE(fs::exists(live));
    EXPECT_TRUE(fs::exists(foreign));
    EXPECT_TRUE(fs::is_directory(folder)) << "only regular files go";
}

}  // namespace
