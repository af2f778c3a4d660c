#pragma once
// A registry of its own for a test: TROVANTA_HOME points at a temporary folder while the
// sandbox lives.

#include <optional>
#include <string>

#include "tests/support/TempDir.h"

namespace test {

class ComSandbox {
public:
    ComSandbox();
    ~ComSandbox();
    ComSandbox(const ComSandbox&) = delete;
    ComSandbox& operator=(const ComSandbox&) = delete;

    const TempDir& Home() const { return home_; }
    /// The text of the HKEY_CLASSES_ROOT hive file ("" when none was written).
    std::string ClassesRootText() const;

private:
    TempDir home_;
    std::optional<std::string> previous_;
};

/// Runs a command line through the shell; its output (stdout and stderr) and exit code.
struct ProgramResult {
    int exitCode = -1;
    std::string output;
};
ProgramResult RunProgram(const std::string& commandLine);

}  // namespace test
