#include "platform/outlook/Store.h"

#include <glib.h>
#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <system_error>

#include "platform/outlook/Errors.h"
#include "platform/outlook/ModifiedUtf7.h"
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

/// A directory inside a folder of the nested layout that is a subfolder.
bool IsNestedFolderDir(const std::string& name)
{
    return !name.empty() && name[0] != '.' && !IsMaildirSubdir(name) && !IsKeptByOtherPrograms(name);
}

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

/// One component of a Maildir++ directory name as shown: modified UTF-7 decoded (a component
/// that is not modified UTF-7 stands as it is), then our own percent escapes undone.
std::string PlusPlusShownName(std::string_view component)
{
    return DecodeFolderName(DecodeModifiedUtf7(component).value_or(std::string(component)));
}

std::string PlusPlusComponent(const std::string& shown)
{
    return EncodeModifiedUtf7(EncodeFolderName(shown, true));
}

/// The shown names of the components of a Maildir++ directory name ".A.B"; none for a name
/// that is no folder (one without the leading dot, "..", one with an empty component).
std::vector<std::string> PlusPlusParts(const std::string& dirName)
{
    if (dirName.size() < 2 || dirName[0] != '.') return {};
    std::vector<std::string> parts;
    for (std::size_t start = 1;;) {
        const auto dot = dirName.find('.', start);
        const auto end = dot == std::string::npos ? dirName.size() : dot;
        if (end == start) return {};
        parts.push_back(PlusPlusShownName(std::string_view(dirName).substr(start, end - start)));
        if (dot == std::string::npos) return parts;
        start = dot + 1;
    }
}

/// The shown names of the parts of a folder's path.
std::vector<std::string> Decoded(const std::vector<std::string>& encodedParts)
{
    std::vector<std::string> parts;
    for (const auto& part : encodedParts) parts.push_back(DecodeFolderName(part));
    return parts;
}

/// The subfolder of `dir` in the nested layout whose name shows as `shown`, for a directory
/// named otherwise than EncodeFolderName would name it (written by another program).
std::optional<fs::path> NestedChildDir(const fs::path& dir, const std::string& shown)
{
    for (const auto& name : DirectoryNames(dir)) {
        if (IsNestedFolderDir(name) && DecodeFolderName(name) == shown) return dir / name;
    }
    return std::nullopt;
}

StoreLayout DetectLayout(const fs::path& root)
{
    bool otherDirs = false;
    for (const auto& name : DirectoryNames(root)) {
        if (name.size() > 1 && name[0] == '.' && name != ".." && IsDir(root / name / "cur")) {
            return StoreLayout::MaildirPlusPlus;
        }
        if (IsNestedFolderDir(name)) otherDirs = true;
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
    if (!maildirMade_) RemakeMaildir();
}

void FolderState::RemakeMaildir() const
{
    maildirMade_ = false;
    if (dir_.empty()) return;
    for (const char* sub : {"cur", "new", "tmp"}) {
        std::error_code ec;
        fs::create_directories(dir_ / sub, ec);
        if (ec) Fail("Cannot create the folder \"" + (dir_ / sub).string() + "\": " + ec.message());
    }
    maildirMade_ = true;
}

// ---- Store ----------------------------------------------------------------------------

Store::Store(StoreConfig config) : config_(std::move(config)), root_(config_.root)
{
    layout_ = config_.layout == StoreLayout::Detect ? DetectLayout(root_) : config_.layout;
}

fs::path Store::NewDirOf(const std::vector<std::string>& shown) const
{
    if (layout_ == StoreLayout::Nested) {
        fs::path dir = root_;
        for (const auto& name : shown) dir /= EncodeFolderName(name);
        return dir;
    }
    if (shown.empty()) return {};
    if (shown.size() == 1 && shown[0] == kInbox) return root_;
    std::string name;
    for (const auto& part : shown) name += "." + PlusPlusComponent(part);
    return root_ / name;
}

std::optional<fs::path> Store::Locate(const std::vector<std::string>& shown) const
{
    return layout_ == StoreLayout::Nested ? LocateNested(shown) : LocatePlusPlus(shown);
}

std::optional<fs::path> Store::LocateNested(const std::vector<std::string>& shown) const
{
    if (const fs::path usual = NewDirOf(shown); shown.empty() || IsDir(usual)) return usual;
    fs::path dir = root_;
    for (const auto& name : shown) {
        const fs::path usual = dir / EncodeFolderName(name);
        const auto found = IsDir(usual) ? usual : NestedChildDir(dir, name);
        if (!found) return std::nullopt;
        dir = *found;
    }
    return dir;
}

std::optional<fs::path> Store::LocatePlusPlus(const std::vector<std::string>& shown) const
{
    if (shown.empty()) return fs::path();
    const auto siblings = PlusPlusChildren({shown.begin(), shown.end() - 1});
    if (std::find(siblings.begin(), siblings.end(), shown.back()) == siblings.end()) return std::nullopt;
    const fs::path usual = NewDirOf(shown);
    if (usual == root_ || IsDir(usual)) return usual;
    for (const auto& dirName : DirectoryNames(root_)) {
        if (PlusPlusParts(dirName) == shown) return root_ / dirName;
    }
    return usual;  // a folder that has subfolders but no directory of its own yet
}

std::vector<std::string> Store::NestedChildren(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& name : DirectoryNames(dir)) {
        if (IsNestedFolderDir(name)) names.push_back(DecodeFolderName(name));
    }
    return names;
}

std::vector<std::string> Store::PlusPlusChildren(const std::vector<std::string>& want) const
{
    std::vector<std::string> names;
    if (want.empty()) names.push_back(kInbox);
    for (const auto& dirName : DirectoryNames(root_)) {
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
    const auto parts = FolderIdParts(path);
    if (!parts) return {};
    std::vector<std::string> names;
    if (layout_ == StoreLayout::Nested) {
        if (const auto dir = LocateNested(Decoded(*parts))) names = NestedChildren(*dir);
    } else {
        names = PlusPlusChildren(Decoded(*parts));
    }
    SortUnique(names);
    DropLoops(Decoded(*parts), names);
    return names;
}

void Store::DropLoops(const std::vector<std::string>& shown, std::vector<std::string>& names) const
{
    // A subfolder that is the folder itself or one above it (a symbolic link back up) would
    // walk the same messages again, without end; a link to any other folder stays a folder.
    std::vector<DirIdentity> above;
    for (std::size_t depth = 0; depth <= shown.size(); ++depth) {
        const auto dir = DirOfFolder({shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(depth)});
        const auto identity = dir ? IdentityOf(*dir) : std::nullopt;
        if (identity) above.push_back(*identity);
    }
    std::erase_if(names, [&](const std::string& name) {
        std::vector<std::string> child = shown;
        child.push_back(name);
        const auto dir = DirOfFolder(child);
        const auto identity = dir ? IdentityOf(*dir) : std::nullopt;
        return identity && std::find(above.begin(), above.end(), *identity) != above.end();
    });
}

std::optional<fs::path> Store::DirOfFolder(const std::vector<std::string>& shown) const
{
    // A Maildir++ store's root is the Inbox's directory, not a folder of its own.
    const auto dir = Locate(shown);
    if (dir && dir->empty()) return std::nullopt;
    return dir;
}

FolderStatePtr Store::Folder(const std::string& path)
{
    const auto parts = FolderIdParts(path);
    // Another program may have removed the folder since we first met it.
    const auto dir = parts ? Locate(Decoded(*parts)) : std::nullopt;
    if (!dir) {
        folders_.erase(path);
        return nullptr;
    }
    if (const auto it = folders_.find(path); it != folders_.end()) return it->second->Lease();
    auto folder = std::make_shared<FolderState>(*this, path, *dir);
    folders_.emplace(path, folder);
    return folder->Lease();
}

FolderStatePtr Store::CreateFolder(const std::string& parentPath, const std::string& name)
{
    if (name.empty()) Fail("A folder name cannot be empty.");
    // A store whose folder is missing (a mistyped MAILDIR) is an error, never created on the way.
    if (!fs::is_directory(root_))
        Fail("The mail store \"" + DisplayName() + "\" was not found at \"" + root_.string() + "\".");
    auto parts = FolderIdParts(parentPath);
    const auto parentDir = parts ? Locate(Decoded(*parts)) : std::nullopt;
    if (!parentDir) Fail("Cannot create the folder \"" + name + "\": the folder above it does not exist.");
    parts->push_back(EncodeFolderName(name));
    const auto shown = Decoded(*parts);
    if (Locate(shown)) Fail("Cannot create the folder \"" + name + "\": it exists.");
    // In the nested layout the new folder goes into the parent's directory, whatever its name.
    const fs::path dir = layout_ == StoreLayout::Nested ? *parentDir / parts->back() : NewDirOf(shown);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) Fail("Cannot create the folder \"" + name + "\": " + ec.message());
    auto folder = Folder(JoinPath(*parts));
    if (!folder) Fail("Cannot create the folder \"" + name + "\".");
    folder->EnsureMaildir();
    return folder;
}

std::optional<std::string> Store::ExistingTopLevel(std::span<const std::string_view> names) const
{
    const auto children = ChildNames("");
    for (const auto name : names) {
        for (const auto& child : children) {
            if (SameNameIgnoringCase(child, std::string(name))) return EncodeFolderName(child);
        }
    }
    return std::nullopt;
}

FolderStatePtr Store::TopLevelFolder(std::span<const std::string_view> names)
{
    if (const auto path = ExistingTopLevel(names)) {
        auto folder = Folder(*path);
        if (folder) folder->EnsureMaildir();
        return folder;
    }
    return CreateFolder("", std::string(names.front()));
}

FolderStatePtr Store::DeletedItems()
{
    return TopLevelFolder(kDeletedItemsNames);
}

bool Store::IsDeletedItems(const FolderState& folder) const
{
    return ExistingTopLevel(kDeletedItemsNames) == folder.Path();
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
