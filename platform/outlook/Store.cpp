#include "platform/outlook/Store.h"

#include <glib.h>
#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <system_error>

#include "platform/outlook/Errors.h"
#include "platform/runtime/TempFiles.h"

namespace fs = std::filesystem;

namespace outlook {

namespace {

bool IsDir(const fs::path& path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b)
{
    return g_ascii_strcasecmp(a.c_str(), b.c_str()) == 0;
}

bool IsMaildirSubdir(const std::string& name) { return name == "cur" || name == "new" || name == "tmp"; }

/// The directory names of `dir`, skipping what cannot be read.
std::vector<std::string> DirectoryNames(const fs::path& dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (it->is_directory(typeEc)) names.push_back(it->path().filename().string());
    }
    return names;
}

/// The components of a Maildir++ directory name ".A.B", decoded.
std::vector<std::string> PlusPlusParts(const std::string& dirName)
{
    std::vector<std::string> parts;
    std::size_t start = 1;
    while (start <= dirName.size()) {
        const auto dot = dirName.find('.', start);
        const auto end = dot == std::string::npos ? dirName.size() : dot;
        parts.push_back(DecodeFolderName(dirName.substr(start, end - start)));
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return parts;
}

std::vector<std::string> Decoded(const std::vector<std::string>& encodedParts)
{
    std::vector<std::string> parts;
    for (const auto& part : encodedParts) parts.push_back(DecodeFolderName(part));
    return parts;
}

StoreLayout DetectLayout(const fs::path& root)
{
    bool otherDirs = false;
    for (const auto& name : DirectoryNames(root)) {
        if (name.size() > 1 && name[0] == '.' && name != ".." && IsDir(root / name / "cur")) {
            return StoreLayout::MaildirPlusPlus;
        }
        if (!IsMaildirSubdir(name) && name[0] != '.') otherDirs = true;
    }
    // A lone Maildir is the Inbox of its owner's mail program.
    if (IsDir(root / "cur") && !otherDirs) return StoreLayout::MaildirPlusPlus;
    return StoreLayout::Nested;
}

/// The place of each name in a list of names each followed by '/'; a name that stands
/// twice has the place of its last.
MessagePlaces ArrivalOrder(std::string_view arrivals)
{
    MessagePlaces order;
    std::size_t place = 0;
    for (std::size_t start = 0; start < arrivals.size();) {
        const std::size_t end = arrivals.find('/', start);
        order[arrivals.substr(start, end - start)] = place++;
        start = end + 1;
    }
    return order;
}

/// A directory as the file system knows it (device and inode), whatever name leads to it.
struct DirIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const DirIdentity&) const = default;
};

std::optional<DirIdentity> IdentityOf(const fs::path& dir)
{
    struct stat st {};
    if (dir.empty() || ::stat(dir.c_str(), &st) != 0) return std::nullopt;
    return DirIdentity{st.st_dev, st.st_ino};
}

void SortUnique(std::vector<std::string>& names)
{
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
}

}  // namespace

// ---- FolderState ----------------------------------------------------------------------

FolderState::FolderState(Store& store, std::string path, fs::path dir)
    : store_(store), path_(std::move(path)), dir_(std::move(dir))
{
}

/// Holds a folder's list in memory; the last lease to end drops it.
class FolderState::ListLease {
public:
    explicit ListLease(std::shared_ptr<FolderState> folder) : folder_(std::move(folder)) {}
    ListLease(const ListLease&) = delete;
    ListLease& operator=(const ListLease&) = delete;
    ~ListLease() { folder_->DropList(); }

private:
    std::shared_ptr<FolderState> folder_;
};

FolderStatePtr FolderState::Lease()
{
    if (auto lease = lease_.lock()) return lease;
    FolderStatePtr lease(std::make_shared<ListLease>(shared_from_this()), this);
    lease_ = lease;
    return lease;
}

void FolderState::DropList()
{
    list_ = {};
    loaded_ = false;
}

MessageList& FolderState::Records()
{
    if (!loaded_) {
        // The messages that arrived during the session follow the others as they came.
        list_ = MessageList::Scan(dir_, ArrivalOrder(arrivals_));
        if (!dir_.empty()) RemoveLeftOverTempFiles(dir_ / "tmp");
        loaded_ = true;
    }
    return list_;
}

void FolderState::NoteArrival(std::string_view unique)
{
    arrivals_ += unique;
    arrivals_ += '/';
}

void FolderState::Sync()
{
    if (!loaded_) {
        Records();
        return;
    }
    for (const auto& unique : list_.Update(MessageList::Scan(dir_))) NoteArrival(unique);
}

void FolderState::Append(RecordPtr record)
{
    NoteArrival(record->name.unique);
    if (loaded_) list_.Append(std::move(record));
    store_.KeepArrivalList(Lease());
}

void FolderState::Remove(const MessageRecord* record)
{
    if (loaded_) list_.Remove(record);
}

fs::path FolderState::PathOf(const MessageRecord& record) const
{
    return FileOf(record);
}

std::string FolderState::FileOf(const MessageRecord& record) const
{
    const std::string& dir = dir_.native();
    const std::string name = record.name.FileName();
    std::string file;
    file.reserve(dir.size() + record.subdir.size() + name.size() + 2);
    file.append(dir);
    if (!dir.empty() && dir.back() != '/') file += '/';
    file.append(record.subdir).append(1, '/').append(name);
    return file;
}

std::string FolderState::Refind(MessageRecord& record) const
{
    return MessageList::Find(dir_, record);
}

void FolderState::EnsureMaildir() const
{
    if (dir_.empty()) return;
    for (const char* sub : {"cur", "new", "tmp"}) {
        std::error_code ec;
        fs::create_directories(dir_ / sub, ec);
        if (ec) Fail("Cannot create the folder \"" + (dir_ / sub).string() + "\": " + ec.message());
    }
}

// ---- Store ----------------------------------------------------------------------------

Store::Store(StoreConfig config) : config_(std::move(config)), root_(config_.root)
{
    layout_ = config_.layout == StoreLayout::Detect ? DetectLayout(root_) : config_.layout;
}

fs::path Store::DirOf(const std::vector<std::string>& parts) const
{
    if (layout_ == StoreLayout::Nested) {
        fs::path dir = root_;
        for (const auto& part : parts) dir /= part;
        return dir;
    }
    if (parts.empty()) return {};
    if (parts.size() == 1 && SameNameIgnoringCase(DecodeFolderName(parts[0]), kInbox)) return root_;
    std::string name;
    for (const auto& part : parts) name += "." + EncodeFolderName(DecodeFolderName(part), true);
    return root_ / name;
}

bool Store::Exists(const std::vector<std::string>& parts) const
{
    if (parts.empty()) return true;
    if (layout_ == StoreLayout::Nested) return IsDir(DirOf(parts));
    std::vector<std::string> parent(parts.begin(), parts.end() - 1);
    const auto siblings = ChildNames(JoinPath(parent));
    return std::find(siblings.begin(), siblings.end(), DecodeFolderName(parts.back())) != siblings.end();
}

std::vector<std::string> Store::NestedChildren(const std::vector<std::string>& parts) const
{
    std::vector<std::string> names;
    for (const auto& name : DirectoryNames(DirOf(parts))) {
        if (name.empty() || name[0] == '.' || IsMaildirSubdir(name)) continue;
        names.push_back(DecodeFolderName(name));
    }
    return names;
}

std::vector<std::string> Store::PlusPlusChildren(const std::vector<std::string>& parts) const
{
    const std::vector<std::string> want = Decoded(parts);
    std::vector<std::string> names;
    if (want.empty()) names.push_back(kInbox);
    for (const auto& dirName : DirectoryNames(root_)) {
        if (dirName.size() < 2 || dirName[0] != '.' || dirName == "..") continue;
        const auto have = PlusPlusParts(dirName);
        if (have.size() <= want.size() || !std::equal(want.begin(), want.end(), have.begin())) continue;
        const std::string& child = have[want.size()];
        if (want.empty() && SameNameIgnoringCase(child, kInbox)) continue;
        names.push_back(child);
    }
    return names;
}

std::vector<std::string> Store::ChildNames(const std::string& path) const
{
    const auto parts = SplitPath(path);
    auto names = layout_ == StoreLayout::Nested ? NestedChildren(parts) : PlusPlusChildren(parts);
    SortUnique(names);
    DropLoops(parts, names);
    return names;
}

void Store::DropLoops(const std::vector<std::string>& parts, std::vector<std::string>& names) const
{
    // A subfolder that is the folder itself or one above it (a symbolic link back up) would
    // walk the same messages again, without end; a link to any other folder stays a folder.
    std::vector<DirIdentity> above;
    for (std::size_t depth = 0; depth <= parts.size(); ++depth) {
        const auto identity =
            IdentityOf(DirOf({parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(depth)}));
        if (identity) above.push_back(*identity);
    }
    std::erase_if(names, [&](const std::string& name) {
        std::vector<std::string> child = parts;
        child.push_back(EncodeFolderName(name));
        const auto identity = IdentityOf(DirOf(child));
        return identity && std::find(above.begin(), above.end(), *identity) != above.end();
    });
}

FolderStatePtr Store::Folder(const std::string& path)
{
    const auto parts = SplitPath(path);
    // Another program may have removed the folder since we first met it.
    if (!Exists(parts)) {
        folders_.erase(path);
        return nullptr;
    }
    if (const auto it = folders_.find(path); it != folders_.end()) return it->second->Lease();
    auto folder = std::make_shared<FolderState>(*this, JoinPath(parts), DirOf(parts));
    folders_.emplace(path, folder);
    return folder->Lease();
}

FolderStatePtr Store::CreateFolder(const std::string& parentPath, const std::string& name)
{
    if (name.empty()) Fail("A folder name cannot be empty.");
    // A store whose folder is missing (a mistyped MAILDIR) is an error, never created on the way.
    if (!fs::is_directory(root_))
        Fail("The mail store \"" + DisplayName() + "\" was not found at \"" + root_.string() + "\".");
    auto parts = SplitPath(parentPath);
    parts.push_back(EncodeFolderName(name));
    if (Exists(parts)) Fail("Cannot create the folder \"" + name + "\": it exists.");
    std::error_code ec;
    fs::create_directories(DirOf(parts), ec);
    if (ec) Fail("Cannot create the folder \"" + name + "\": " + ec.message());
    auto folder = Folder(JoinPath(parts));
    if (!folder) Fail("Cannot create the folder \"" + name + "\".");
    folder->EnsureMaildir();
    return folder;
}

FolderStatePtr Store::TopLevelFolder(const std::string& name)
{
    for (const auto& child : ChildNames("")) {
        if (SameNameIgnoringCase(child, name)) {
            auto folder = Folder(EncodeFolderName(child));
            if (folder) folder->EnsureMaildir();
            return folder;
        }
    }
    return CreateFolder("", name);
}

bool Store::IsDeletedItems(const FolderState& folder) const
{
    const auto parts = SplitPath(folder.Path());
    return parts.size() == 1 && SameNameIgnoringCase(DecodeFolderName(parts[0]), kDeletedItems);
}

void Store::KeepArrivalList(FolderStatePtr folder)
{
    const auto kept = std::find(arrivalLists_.begin(), arrivalLists_.end(), folder);
    if (kept != arrivalLists_.end()) {
        std::rotate(arrivalLists_.begin(), kept, std::next(kept));
        return;
    }
    if (arrivalLists_.size() == kKeptArrivalLists) arrivalLists_.pop_back();
    arrivalLists_.insert(arrivalLists_.begin(), std::move(folder));
}

// ---- Session --------------------------------------------------------------------------

Session::Session(const ApplicationConfig& config, std::shared_ptr<void> keepAlive) : keepAlive_(std::move(keepAlive))
{
    for (const auto& store : config.stores) stores_.push_back(std::make_unique<Store>(store));
    if (stores_.empty()) stores_.push_back(std::make_unique<Store>(DefaultStoreConfig()));
}

Store* Session::FindStore(const std::string& displayName) const
{
    for (const auto& store : stores_) {
        if (store->DisplayName() == displayName) return store.get();
    }
    return nullptr;
}

}  // namespace outlook
