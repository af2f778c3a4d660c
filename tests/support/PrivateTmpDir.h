#pragma once
// A temporary folder of the test process's own, made TMPDIR for the process: tests that run side
// by side never see each other's temporary files, and nothing a test leaves behind outlives it.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace trovanta_test {

class PrivateTmpDir {
public:
    PrivateTmpDir()
    {
        const char* parent = std::getenv("TMPDIR");
        std::string pattern = std::string(parent && *parent ? parent : "/tmp") + "/trovanta-tests-XXXXXX";
        if (mkdtemp(pattern.data())) {
            path_ = pattern;
            setenv("TMPDIR", pattern.c_str(), 1);
        }
    }
    ~PrivateTmpDir()
    {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    PrivateTmpDir(const PrivateTmpDir&) = delete;
    PrivateTmpDir& operator=(const PrivateTmpDir&) = delete;

private:
    std::filesystem::path path_;
};

}  // namespace trovanta_test
