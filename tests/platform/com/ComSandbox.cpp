#include "tests/platform/com/ComSandbox.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace test {

ComSandbox::ComSandbox()
{
    if (const char* old = std::getenv("TROVANTA_HOME")) previous_ = old;
    setenv("TROVANTA_HOME", home_.Path().c_str(), 1);
}

ComSandbox::~ComSandbox()
{
    if (previous_)
        setenv("TROVANTA_HOME", previous_->c_str(), 1);
    else
        unsetenv("TROVANTA_HOME");
}

std::string ComSandbox::ClassesRootText() const
{
    const auto path = home_ / "HKEY_CLASSES_ROOT.reg";
    return std::filesystem::exists(path) ? ReadFile(path) : std::string();
}

ProgramResult RunProgram(const std::string& commandLine)
{
    ProgramResult result;
    FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace test
