#pragma once
// A private temporary folder, removed with everything in it when the object ends.

#include <filesystem>
#include <string>

namespace test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

/// Writes `bytes` to `path`, creating its parent folders.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
/// The whole content of a file; throws when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

/// Folders of the checkout and the build, and the shared test corpora.
std::filesystem::path SourceDir();
std::filesystem::path BuildDir();
std::filesystem::path CorporaDir();

}  // namespace test
