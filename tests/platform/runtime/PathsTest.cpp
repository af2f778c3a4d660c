#include "platform/runtime/Paths.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

/// Sets or clears an environment variable for one test.
class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~EnvVar() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

mode_t ModeOf(const std::filesystem::path& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 0777;
}

TEST(Paths, TrovantaHomeFromTheEnvironmentCreatedPrivate)
{
    const test::TempDir dir;
    {
        const EnvVar home("TROVANTA_HOME", (dir / "a" / "home").c_str());
        EXPECT_EQ(TrovantaHome(), dir / "a" / "home");
        EXPECT_EQ(ModeOf(dir / "a" / "home"), 0700u);
    }
    const EnvVar home("TROVANTA_HOME", nullptr);
    {
        const EnvVar config("XDG_CONFIG_HOME", (dir / "cfg").c_str());
        EXPECT_EQ(TrovantaHome(), dir / "cfg" / "trovanta");
    }
    const EnvVar config("XDG_CONFIG_HOME", nullptr);
    const EnvVar user("HOME", dir.Path().c_str());
    EXPECT_EQ(TrovantaHome(), dir / ".config" / "trovanta");
    EXPECT_EQ(ModeOf(dir / ".config" / "trovanta"), 0700u);
}

}  // namespace
