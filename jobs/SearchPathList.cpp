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

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

/// Ends a folder with a separator: its own kind, so that "C:\\Old" becomes "C:\\Old\\".
std::string WithTrailingSeparator(std::string dir)
{
    if (dir.empty() || IsSeparator(dir.back())) return dir;
    const bool windowsStyle = dir.find('\\') != std::string::npos && dir.find('/') == std::string::npos;
    dir += windowsStyle ? '\\' : '/';
    return dir;
}

/// A shortcut made on Windows holds a "C:\\..." target: its folder part ends at the last
/// backslash as well as at the last slash.
void SplitFolderAndName(const std::string& fileName, std::string& dir, std::string& name)
{
    const std::size_t cut = fileName.find_last_of("/\\");
    dir = cut == std::string::npos ? std::string() : fileName.substr(0, cut + 1);
    name = cut == std::string::npos ? fileName : fileName.substr(cut + 1);
}

/// The part below a matched root names folders on this system: Windows separators become "/".
std::string AsLocalFolders(std::string rest)
{
    for (char& c : rest)
        if (c == '\\') c = '/';
    return rest;
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
    std::string dir;
    std::string name;
    SplitFolderAndName(FileName, dir, name);
    for (const std::string& line : *this) {
        std::string rest = line;
        std::string org;
        FetchToken(rest, '=', org);
        org = WithTrailingSeparator(org);
        const std::string newRoot = WithTrailingSeparator(rest);
        // Without a new root the candidate would lie below the file system's root.
        if (org.empty() || newRoot.empty()) continue;
        const std::optional<std::size_t> matched = MatchPrefixText(dir, org);
        if (!matched) continue;
        Found = JoinPath(JoinPath(newRoot, AsLocalFolders(dir.substr(*matched))), name);
        if (FileExists(Found)) return true;
    }
    return false;
}
