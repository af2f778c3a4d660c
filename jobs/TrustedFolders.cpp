#include "jobs/TrustedFolders.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>

#include "jobs/FileTools.h"
#include "jobs/Options.h"
#include "jobs/SearchPathList.h"
#include "jobs/ShortcutFolders.h"
#include "jobs/StrTools.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Registry.h"

namespace {

bool IsFolder(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegular(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

/// The save destination of the remembered manual job.
void AddManualJobDestination(TTrustedFolders& folders, TRegistry& reg)
{
    TOptions_SaveAttachments part;
    try {
        part.LoadFromRegistry(reg, JoinKey(RegKeyAdHoc, "SaveAttachments"));
    } catch (const Exception&) {
        // a damaged value: the fields read until then still count
    }
    folders.Add(part.DestPath);
}

/// The save destination of every rule that could be read.
void AddRuleDestinations(TTrustedFolders& folders, TRegistry& reg)
{
    TAutoOptions rules;
    try {
        rules.LoadFromRegistry(reg, RegKeyAuto);
    } catch (const Exception&) {
        // the rules read until then still count
    }
    for (int i = 0; i < rules.Jobs().Count(); ++i)
        folders.Add(rules.Jobs().Jobs(i).SaveAttachments().DestPath);
}

}  // namespace

std::string CanonicalPath(const std::string& Path)
{
    if (Path.empty() || Path.front() != '/') return {};
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(Path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

bool IsInsideFolder(const std::string& Path, const std::string& Folder)
{
    if (Folder.empty() || !Path.starts_with(Folder)) return false;
    // Part by part: /a/b holds /a/b/x but not /a/bc.
    return Path.size() == Folder.size() || Folder.back() == '/' || Path[Folder.size()] == '/';
}

void TTrustedFolders::Add(const std::string& Folder)
{
    const std::string canonical = CanonicalPath(Folder);
    if (canonical.empty() || !IsFolder(canonical)) return;
    if (std::find(FFolders.begin(), FFolders.end(), canonical) == FFolders.end())
        FFolders.push_back(canonical);
}

void TTrustedFolders::AddSearchPaths(const TSearchPathList& List)
{
    for (const std::string& line : List) {
        std::string newRoot = line;
        std::string orgRoot;
        FetchToken(newRoot, '=', orgRoot);
        Add(orgRoot);
        Add(newRoot);
    }
}

std::string TTrustedFolders::Admit(const std::string& File) const
{
    const std::string canonical = CanonicalPath(File);
    if (canonical.empty() || !IsRegular(canonical)) return {};
    const bool inside = std::any_of(FFolders.begin(), FFolders.end(), [&](const std::string& folder) {
        return IsInsideFolder(canonical, folder);
    });
    return inside ? canonical : std::string();
}

TTrustedFolders LoadSavedFolders(TRegistry& reg)
{
    TTrustedFolders folders;
    TShortcutFolders remembered;
    remembered.LoadFromRegistry(reg, RegKeyShortcutFolders);
    for (const std::string& folder : remembered.Folders()) folders.Add(folder);
    AddManualJobDestination(folders, reg);
    AddRuleDestinations(folders, reg);
    return folders;
}

TTrustedFolders LoadSavedFolders()
{
    TRegistry reg;
    return LoadSavedFolders(reg);
}
