#pragma once
// The folders into which attachments were saved and replaced by shortcuts. A shortcut is put
// back without a question only when its file lies in a folder that the system itself saved to
// (or in another folder of the settings), so the system remembers these folders, whichever
// job made the shortcuts: the add-in's manual job, a rule or a job file run by the batch
// program. The list lives in the registry as one REG_MULTI_SZ value (a folder name can hold
// any character but NUL), the most recently used folder first, each folder once, at most
// MaxCount folders.

#include <cstddef>
#include <string>
#include <vector>

class TRegistry;

/// The registry key of the list, below the product key.
inline constexpr const char* RegKeyShortcutFolders = "\\Software\\VONT-Software\\Trovanta\\Shortcuts";

class TShortcutFolders {
public:
    /// The oldest folders beyond this many are forgotten.
    static constexpr std::size_t MaxCount = 64;

    const std::vector<std::string>& Folders() const { return FFolders; }

    /// Puts Folder first (moving it there when it is listed already) and forgets what lies
    /// beyond MaxCount. False when Folder was first already: nothing changed. An empty name
    /// is not added.
    bool Add(const std::string& Folder);

    /// The list as stored below `key`; empty when the key or the value is missing or
    /// unreadable. Entries that are empty or not absolute paths are dropped.
    void LoadFromRegistry(TRegistry& reg, const std::string& key);
    /// Writes the list below `key` (created when missing) as one commit.
    void SaveToRegistry(TRegistry& reg, const std::string& key) const;

private:
    std::vector<std::string> FFolders;
};

/// Adds Folder to the list of the registry in TrovantaHome() as one commit under the hive's
/// lock, so that processes remembering folders at the same time lose none.
void RememberShortcutFolder(const std::string& Folder);
/// The same on a given registry.
void RememberShortcutFolder(TRegistry& reg, const std::string& Folder);

/// The remembered folders of the registry in TrovantaHome().
std::vector<std::string> LoadShortcutFolders();
