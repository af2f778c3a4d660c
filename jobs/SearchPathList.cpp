#include "jobs/SearchPathList.h"

#include <sys/stat.h>

#include <filesystem>

#include "jobs/FileTools.h"
#include "jobs/StrTools.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/FileIO.h"
#include "platform/runtime/Text.h"

namespace fs = std::filesystem;

namespace {

bool FileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string WithTrailingSlash(std::string dir)
{
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

}  // namespace

void TSearchPathList::LoadFromFile(const std::string& FileName)
{
    Clear();
    FileStamp reader;
    const std::optional<std::string> bytes = reader.Load(FileName);
    if (bytes) SetText(DecodeToUtf8(*bytes));
}

void TSearchPathList::SaveToFile(const std::string& FileName) const
{
    const fs::path path(FileName);
    std::error_code ec;
    if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
    if (ec) throw EOSError(ec.value(), path.parent_path().string());
    WriteFileAtomically(path, Text());
}

bool TSearchPathList::FindFile(const std::string& FileName, std::string& Found) const
{
    if (FileExists(FileName)) {
        Found = FileName;
        return true;
    }
    return FindInSearchPaths(FileName, Found);
}

bool TSearchPathList::FindInSearchPaths(const std::string& FileName, std::string& Found) const
{
    const fs::path path(FileName);
    const std::string dir = WithTrailingSlash(path.parent_path().string());
    const std::string name = path.filename().string();
    for (const std::string& line : *this) {
        std::string rest = line;
        std::string org;
        FetchToken(rest, '=', org);
        org = WithTrailingSlash(org);
        const std::string newRoot = WithTrailingSlash(rest);
        // Without a new root the candidate would lie below the file system's root.
        if (org.empty() || newRoot.empty()) continue;
        const std::optional<std::size_t> matched = MatchPrefixText(dir, org);
        if (!matched) continue;
        Found = JoinPath(JoinPath(newRoot, dir.substr(*matched)), name);
        if (FileExists(Found)) return true;
    }
    return false;
}
