#include "tests/batch/QelbatProcess.h"

#include <sys/wait.h>

#include <cstdlib>
#include <stdexcept>

#include <fmt/format.h>

namespace fs = std::filesystem;

namespace test {
namespace {

std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

}  // namespace

std::string HexId(const std::string& text)
{
    std::string hex;
    for (const unsigned char c : text) hex += fmt::format("{:02X}", c);
    return hex;
}

QelbatSandbox::QelbatSandbox() : store_(dir_.Path() / "maildir")
{
    fs::create_directories(Home());
    fs::create_directories(Work());
    store_.Folder("Inbox");
}

void QelbatSandbox::Register(const std::string& libraryName)
{
    const ProcessResult r =
        RunProgram(BuildDir() / "bin" / "regsvr", {(BuildDir() / "lib" / libraryName).string()}, "");
    if (r.exitCode != 0) throw std::runtime_error("regsvr " + libraryName + " failed: " + r.out + r.err);
}

void QelbatSandbox::RegisterAll()
{
    Register("libtrovanta_outlook.so");
    Register("libtrovanta_qelutils.so");
}

ProcessResult QelbatSandbox::Run(const std::vector<std::string>& args, const std::string& input) const
{
    return RunProgram(BuildDir() / "bin" / "qelbat", args, input);
}

ProcessResult QelbatSandbox::RunProgram(const fs::path& program, const std::vector<std::string>& args,
                                        const std::string& input) const
{
    const fs::path in = dir_ / "stdin.txt", out = dir_ / "stdout.txt", err = dir_ / "stderr.txt";
    WriteFile(in, input);
    std::string command = "cd " + ShellQuote(Work().string()) +
                          " && env LC_ALL=C TROVANTA_HOME=" + ShellQuote(Home().string()) +
                          " MAILDIR=" + ShellQuote(Maildir().string()) + " " + ShellQuote(program.string());
    for (const auto& arg : args) command += " " + ShellQuote(arg);
    command +=
        " <" + ShellQuote(in.string()) + " >" + ShellQuote(out.string()) + " 2>" + ShellQuote(err.string());
    const int status = std::system(command.c_str());
    ProcessResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFile(out);
    result.err = ReadFile(err);
    return result;
}

}  // namespace test
