#pragma once
// Running the built qelbat as a process in a sandbox: its own TROVANTA_HOME with the servers
// registered by regsvr, its own MAILDIR, the C locale (so time stamps have one form).

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/Maildir.h"
#include "tests/support/TempDir.h"

namespace test {

struct ProcessResult {
    int exitCode = -1;
    std::string out;  ///< standard output, byte for byte
    std::string err;
};

class QelbatSandbox {
public:
    QelbatSandbox();

    std::filesystem::path Home() const { return dir_ / "home"; }
    std::filesystem::path Maildir() const { return dir_ / "maildir"; }
    std::filesystem::path Work() const { return dir_ / "work"; }

    /// Registers a server library of build/lib with build/bin/regsvr in this sandbox.
    void Register(const std::string& libraryName);
    /// Registers the mail client's and the external server's libraries.
    void RegisterAll();

    /// The store of MAILDIR (nested layout, with an empty Inbox).
    MaildirBuilder& Store() { return store_; }

    /// Runs qelbat with `args` in Work(), `input` on standard input.
    ProcessResult Run(const std::vector<std::string>& args, const std::string& input = "\n") const;
    /// Runs any program of the build with the sandbox's environment.
    ProcessResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                             const std::string& input) const;

private:
    TempDir dir_;
    MaildirBuilder store_;
};

/// Upper-case hex of the UTF-8 bytes: a folder's EntryID, a store's StoreID.
std::string HexId(const std::string& text);

}  // namespace test
