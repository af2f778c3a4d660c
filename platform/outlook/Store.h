#pragma once
// The plain model under the COM objects: the stores of a session, their folders and the
// message list of each folder. A folder's list is its live item list: moves, copies and
// deletes change it at once, so every collection over the folder sees the same count.
// The list is held in memory only while something uses it (a collection over the folder,
// an item of it, a recent arrival); otherwise it is dropped and read from disk again.

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/outlook/MaildirNames.h"
#include "platform/outlook/MessageList.h"
#include "platform/outlook/StoreConfig.h"

namespace outlook {

class Store;
class FolderState;

/// A folder as the store hands it out: while such a pointer or a copy of it lives, the
/// folder's message list stays in memory (see FolderState::Lease).
using FolderStatePtr = std::shared_ptr<FolderState>;

/// The messages of one folder, in a stable order: by file name when read from disk, except
/// that the messages which arrived during the session (copied or moved in, or found by
/// `Sync`) follow in the order they came, also when the list is read again.
class FolderState : public std::enable_shared_from_this<FolderState> {
public:
    FolderState(Store& store, std::string path, std::filesystem::path dir);

    Store& OwnerStore() const { return store_; }
    /// The folder's path in the store: shown names joined by "/" ("" for the store's root).
    const std::string& Path() const { return path_; }
    /// The Maildir directory; empty for a folder that holds no messages of its own.
    const std::filesystem::path& Dir() const { return dir_; }

    /// This folder, keeping its message list in memory while the pointer or a copy of it
    /// lives. Collections and items hold such a pointer, so the records they hand out stay
    /// the records of the list (one item object per message file). When the last one ends,
    /// the list is dropped.
    FolderStatePtr Lease();

    /// The message list, read from disk on first use after it was dropped.
    MessageList& Records();
    /// Picks up files that appeared and drops the messages whose files are gone.
    void Sync();
    /// Adds a record at the end (for a folder whose list was read) and remembers it as
    /// arrived, so that it stays at the end when the list is read again.
    void Append(RecordPtr record);
    void Remove(const MessageRecord* record);

    /// Finds a record's file again by its unique name after another program renamed it
    /// (changed its flags or moved it from new/ to cur/) and takes its new name into the
    /// record; returns the file's path as found, empty when the message is in the folder no more.
    std::string Refind(MessageRecord& record) const;
    std::filesystem::path PathOf(const MessageRecord& record) const;
    /// PathOf as text, without building a path object (read for every message walked).
    std::string FileOf(const MessageRecord& record) const;
    /// Creates cur/, new/ and tmp/ when missing; looked at once per folder, since a job puts
    /// many messages into the same folder. A file that fails to arrive because they went
    /// away since calls RemakeMaildir.
    void EnsureMaildir() const;
    /// Creates cur/, new/ and tmp/ again where missing.
    void RemakeMaildir() const;

private:
    class ListLease;

    void NoteArrival(std::string_view unique);
    void DropList();

    Store& store_;
    std::string path_;
    std::filesystem::path dir_;
    bool loaded_ = false;
    mutable bool maildirMade_ = false;  // cur/, new/ and tmp/ were there or made
    MessageList list_;
    /// The unique names of the messages that arrived in the folder during the session, each
    /// followed by '/' (which no file name holds); a name that came twice counts by its last.
    std::string arrivals_;
    std::weak_ptr<FolderState> lease_;  // the pointers keeping the list, while any lives
};

/// One Maildir store, in the nested layout (folders are subdirectories) or the Maildir++
/// layout (".A.B" directories beside the root, whose own messages are the Inbox).
class Store {
public:
    explicit Store(StoreConfig config);

    const std::string& DisplayName() const { return config_.displayName; }
    const std::filesystem::path& Root() const { return root_; }
    StoreLayout Layout() const { return layout_; }

    /// The folder at `path` (the names of its folders, each as EncodeFolderName writes it,
    /// joined by "/"); nullptr when no folder is there or the path names none (FolderIdParts).
    FolderStatePtr Folder(const std::string& path);
    /// The shown names of the subfolders of `path`, sorted.
    std::vector<std::string> ChildNames(const std::string& path) const;
    /// Creates a subfolder; raises ComError when it exists or cannot be made.
    FolderStatePtr CreateFolder(const std::string& parentPath, const std::string& name);
    /// The first top-level folder named like one of `names` (letter case ignored), looked for
    /// in the order of `names`; created as the first of them when there is none.
    FolderStatePtr TopLevelFolder(std::span<const std::string_view> names);
    FolderStatePtr TopLevelFolder(std::string_view name) { return TopLevelFolder(std::span(&name, 1)); }
    /// Where `Delete` moves items to, and where it removes them for good.
    FolderStatePtr DeletedItems();
    bool IsDeletedItems(const FolderState& folder) const;

    /// Keeps the list of a folder that an item just arrived in, among the last few such
    /// folders: a job that copies or moves every item into the same folders reads the list
    /// of each once, not once per item.
    void KeepArrivalList(FolderStatePtr folder);

private:
    /// The directory that a new folder with these shown names gets.
    std::filesystem::path NewDirOf(const std::vector<std::string>& shown) const;
    /// The directory of the folder with these shown names; nullopt when there is no such
    /// folder. Empty for a Maildir++ store's root, which holds no messages of its own.
    std::optional<std::filesystem::path> Locate(const std::vector<std::string>& shown) const;
    std::optional<std::filesystem::path> LocateNested(const std::vector<std::string>& shown) const;
    std::optional<std::filesystem::path> LocatePlusPlus(const std::vector<std::string>& shown) const;
    std::vector<std::string> PlusPlusChildren(const std::vector<std::string>& want) const;
    static std::vector<std::string> NestedChildren(const std::filesystem::path& dir);
    /// The path of the first top-level folder named like one of `names`, in their order.
    std::optional<std::string> ExistingTopLevel(std::span<const std::string_view> names) const;
    /// Leaves out of the subfolder names of the folder `shown` those that lead back to it or above it.
    void DropLoops(const std::vector<std::string>& shown, std::vector<std::string>& names) const;
    /// As Locate, with nothing for a Maildir++ store's root, which is the Inbox's directory.
    std::optional<std::filesystem::path> DirOfFolder(const std::vector<std::string>& shown) const;

    StoreConfig config_;
    std::filesystem::path root_;
    StoreLayout layout_;
    std::map<std::string, std::shared_ptr<FolderState>> folders_;  // identity map by path
    std::vector<FolderStatePtr> arrivalLists_;  // most recent first
};

/// How many folders that items arrived in keep their lists in memory: one for each
/// destination an item of a job can go to (two copies, a move, the deleted items, the source
/// that a copy is made in), and some more for destinations that change with the item.
inline constexpr std::size_t kKeptArrivalLists = 8;

inline constexpr const char* kInbox = "Inbox";

/// The names under which mail programs keep a special folder at the top of a store, in the
/// order they are looked for; a missing one is created with the first.
using SpecialFolderNames = std::array<std::string_view, 3>;
inline constexpr SpecialFolderNames kDeletedItemsNames = {"Deleted Items", "Trash", "Deleted Messages"};
inline constexpr SpecialFolderNames kSentItemsNames = {"Sent Items", "Sent", "Sent Messages"};

/// The stores of one application object.
class Session {
public:
    /// `keepAlive` is held until the last object of the session ends (the server library's lock).
    explicit Session(const ApplicationConfig& config, std::shared_ptr<void> keepAlive = nullptr);
    const std::vector<std::unique_ptr<Store>>& Stores() const { return stores_; }
    Store& DefaultStore() const { return *stores_.front(); }
    /// The store with this display name; nullptr when none.
    Store* FindStore(const std::string& displayName) const;

private:
    std::shared_ptr<void> keepAlive_;  // first member: released last
    std::vector<std::unique_ptr<Store>> stores_;
};

using SessionPtr = std::shared_ptr<Session>;

}  // namespace outlook
