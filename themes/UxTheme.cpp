#include "themes/UxTheme.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>
#include <type_traits>
#include <vector>

namespace themes {

namespace {

// The binding is process-wide and outlives every other static object of the program: it is
// constant-initialised and has nothing to destroy, so the services object may still give its
// binding back while the program's statics are torn down.
struct BindingState {
    std::mutex Lock;
    int Count = 0;
    void* Library = nullptr;
    ThemeLibraryEntries Entries;
    char FileName[1024] = {};
};
static_assert(std::is_trivially_destructible_v<BindingState>);

constinit BindingState g_binding;

const char* LibraryFileName()
{
    return g_binding.FileName[0] ? g_binding.FileName : uxtheme::LibraryFileName;
}

template <class Fn>
void LookUp(void* library, const char* name, Fn& slot, bool& complete)
{
    slot = reinterpret_cast<Fn>(dlsym(library, name));
    complete = complete && slot != nullptr;
}

// Every entry point, looked up in the published order; false when one is missing.
bool LookUpEntries(void* library, ThemeLibraryEntries& entries)
{
    bool complete = true;
    LookUp(library, "OpenThemeData", entries.OpenThemeData, complete);
    LookUp(library, "CloseThemeData", entries.CloseThemeData, complete);
    LookUp(library, "DrawThemeBackground", entries.DrawThemeBackground, complete);
    LookUp(library, "DrawThemeText", entries.DrawThemeText, complete);
    LookUp(library, "GetThemeBackgroundContentRect", entries.GetThemeBackgroundContentRect, complete);
    LookUp(library, "DrawThemeEdge", entries.DrawThemeEdge, complete);
    LookUp(library, "IsThemeBackgroundPartiallyTransparent", entries.IsThemeBackgroundPartiallyTransparent,
           complete);
    LookUp(library, "IsThemeActive", entries.IsThemeActive, complete);
    LookUp(library, "IsAppThemed", entries.IsAppThemed, complete);
    LookUp(library, "EnableThemeDialogTexture", entries.EnableThemeDialogTexture, complete);
    LookUp(library, "GetThemeAppProperties", entries.GetThemeAppProperties, complete);
    LookUp(library, "SetThemeAppProperties", entries.SetThemeAppProperties, complete);
    LookUp(library, "DrawThemeParentBackground", entries.DrawThemeParentBackground, complete);
    return complete;
}

void UnloadLocked()
{
    if (g_binding.Library) dlclose(g_binding.Library);
    g_binding.Library = nullptr;
    g_binding.Entries = ThemeLibraryEntries{};
}

// The folder of the program or library this code is part of.
std::filesystem::path ModuleFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleFolder), &info) && info.dli_fname && info.dli_fname[0] == '/')
        return std::filesystem::path(info.dli_fname).parent_path();
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program.parent_path();
}

// Where a bare library name is looked for: the module's own folder and the library folder beside
// it first (as the system looks in the application's folder first), then the loader's search. The
// loader's search alone is not enough: a run-time that intercepts dlopen (the address sanitizer)
// makes the loader search with its own run path instead of ours.
std::vector<std::string> CandidatePaths(const char* fileName)
{
    std::vector<std::string> candidates;
    if (!std::strchr(fileName, '/')) {
        const std::filesystem::path folder = ModuleFolder();
        if (!folder.empty()) {
            candidates.push_back((folder / fileName).string());
            candidates.push_back((folder.parent_path() / "lib" / fileName).string());
        }
    }
    candidates.emplace_back(fileName);
    return candidates;
}

void LoadLocked()
{
    for (const std::string& candidate : CandidatePaths(LibraryFileName())) {
        g_binding.Library = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (g_binding.Library) break;
    }
    if (!g_binding.Library) return;
    // The system calls its entry points without checking them; a library that lacks one is of
    // no use and is treated as missing.
    if (!LookUpEntries(g_binding.Library, g_binding.Entries)) UnloadLocked();
}

}  // namespace

bool BindThemeLibrary()
{
    const std::lock_guard lock(g_binding.Lock);
    ++g_binding.Count;
    if (!g_binding.Library) LoadLocked();
    return g_binding.Library != nullptr;
}

void UnbindThemeLibrary()
{
    const std::lock_guard lock(g_binding.Lock);
    if (g_binding.Count > 0) --g_binding.Count;
    if (g_binding.Library && g_binding.Count == 0) UnloadLocked();
}

bool VisualStylesActive()
{
    const std::lock_guard lock(g_binding.Lock);
    if (!g_binding.Library) return false;
    return g_binding.Entries.IsAppThemed() != 0 && g_binding.Entries.IsThemeActive() != 0;
}

const ThemeLibraryEntries& ThemeEntries()
{
    return g_binding.Entries;
}

bool ThemeLibraryLoaded()
{
    const std::lock_guard lock(g_binding.Lock);
    return g_binding.Library != nullptr;
}

int ThemeLibraryBindCount()
{
    const std::lock_guard lock(g_binding.Lock);
    return g_binding.Count;
}

void SetThemeLibraryName(const std::string& fileName)
{
    const std::lock_guard lock(g_binding.Lock);
    const std::size_t length = std::min(fileName.size(), sizeof g_binding.FileName - 1);
    std::memcpy(g_binding.FileName, fileName.data(), length);
    g_binding.FileName[length] = '\0';
}

void ReleaseAllThemeBindings()
{
    const std::lock_guard lock(g_binding.Lock);
    g_binding.Count = 0;
    UnloadLocked();
}

}  // namespace themes
