#include "themes/UxTheme.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <type_traits>

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

void LoadLocked()
{
    g_binding.Library = dlopen(LibraryFileName(), RTLD_NOW | RTLD_LOCAL);
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
