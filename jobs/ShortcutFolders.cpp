#include "jobs/ShortcutFolders.h"

#include <algorithm>

#include "platform/runtime/Registry.h"

// Reading and writing the list in the registry lives with the other settings (OptionsRegistry.cpp).

bool TShortcutFolders::Add(const std::string& Folder)
{
    if (Folder.empty() || (!FFolders.empty() && FFolders.front() == Folder)) return false;
    std::erase(FFolders, Folder);
    FFolders.insert(FFolders.begin(), Folder);
    if (FFolders.size() > MaxCount) FFolders.resize(MaxCount);
    return true;
}

void RememberShortcutFolder(TRegistry& reg, const std::string& Folder)
{
    TRegistryTransaction transaction(reg);
    TShortcutFolders list;
    list.LoadFromRegistry(reg, RegKeyShortcutFolders);
    if (!list.Add(Folder)) return;
    list.SaveToRegistry(reg, RegKeyShortcutFolders);
    transaction.Commit();
}

void RememberShortcutFolder(const std::string& Folder)
{
    TRegistry reg;
    RememberShortcutFolder(reg, Folder);
}

std::vector<std::string> LoadShortcutFolders()
{
    TRegistry reg;
    TShortcutFolders list;
    list.LoadFromRegistry(reg, RegKeyShortcutFolders);
    return list.Folders();
}
