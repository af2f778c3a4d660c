#include "platform/outlook/MessageList.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

#include "platform/outlook/Errors.h"

namespace fs = std::filesystem;

namespace outlook {

namespace {

/// Records handed out are looked at again, and let go when idle, once there are this many
/// (or twice as many as were still held the last time).
constexpr std::size_t kFirstRelease = 64;

/// How often a folder's subdirectory is listed at most while another program changes it.
constexpr int kListingPasses = 3;

const char* SubdirName(bool inNew)
{
    return inNew ? "new" : "cur";
}

/// Whether a directory entry is a regular file (a link counts by what it points to). The
/// entry's type answers without a look at the file, except where the file system does not
/// tell it or for a link.
bool IsRegularFile(DIR* dir, const dirent& entry)
{
    if (entry.d_type == DT_REG) return true;
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) return false;
    struct stat st {};
    return ::fstatat(::dirfd(dir), entry.d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

/// Calls `visit` with the name of every message file in `subdir`: a regular file whose name
/// does not start with "."; nothing when it cannot be read.
template <typename Visit>
void ForEachFileName(const fs::path& subdir, const Visit& visit)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(subdir.c_str()), &::closedir);
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view fileName(entry->d_name);
        if (!fileName.empty() && fileName[0] != '.' && IsRegularFile(dir.get(), *entry)) visit(fileName);
    }
}

/// When a directory last changed (an entry added, removed or renamed); nothing when unknown.
std::optional<std::pair<time_t, long>> ChangeTime(const fs::path& dir)
{
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0) return std::nullopt;
    return std::pair(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
}

/// ForEachFileName, repeated while the directory changed during the listing, at most
/// kListingPasses times: a listing made while another program renames a file may miss it (its
/// old name already gone, its new one in a place already passed); the listings together hold
/// it, maybe twice.
template <typename Visit>
void ForEachFileNameOfAllListings(const fs::path& subdir, const Visit& visit)
{
    for (int pass = 0; pass < kListingPasses; ++pass) {
        const auto before = ChangeTime(subdir);
        ForEachFileName(subdir, visit);
        if (!before || before == ChangeTime(subdir)) return;
    }
}

}  // namespace

MessageList MessageList::Scan(const fs::path& dir, const MessagePlaces& last)
{
    MessageList list;
    if (dir.empty()) return list;
    for (const bool inNew : {false, true}) {
        ForEachFileNameOfAllListings(dir / SubdirName(inNew), [&](std::string_view fileName) {
            list.entries_.push_back(list.EntryOfFile(fileName, inNew));
        });
    }
    const auto byUnique = [&list](const Entry& a, const Entry& b) {
        return list.UniqueOf(a) < list.UniqueOf(b);
    };
    std::sort(list.entries_.begin(), list.entries_.end(), byUnique);
    list.DropRepeatedUniques();
    if (last.empty()) return list;
    const auto firstLast =
        std::stable_partition(list.entries_.begin(), list.entries_.end(),
                              [&](const Entry& entry) { return !last.count(list.UniqueOf(entry)); });
    std::sort(firstLast, list.entries_.end(), [&](const Entry& a, const Entry& b) {
        return last.at(list.UniqueOf(a)) < last.at(list.UniqueOf(b));
    });
    return list;
}

std::string MessageList::Find(const fs::path& dir, MessageRecord& record)
{
    if (dir.empty()) return {};
    std::string found;
    for (const bool inNew : {false, true}) {
        const fs::path subdir = dir / SubdirName(inNew);
        ForEachFileNameOfAllListings(subdir, [&](std::string_view fileName) {
            if (!found.empty() || UniquePartOf(fileName) != record.name.unique) return;
            record.name = ParseMaildirName(fileName);
            record.subdir = SubdirName(inNew);
            found = (subdir / fileName).native();
        });
        if (!found.empty()) return found;
    }
    return {};
}

void MessageList::DropRepeatedUniques()
{
    // One message twice: a listing made while another program renamed it (changed its flags,
    // moved it from new/ to cur/) can hold its old and its new name. Whichever stays is found
    // again by its unique name when used.
    const auto sameUnique = [this](const Entry& a, const Entry& b) { return UniqueOf(a) == UniqueOf(b); };
    const auto end = std::unique(entries_.begin(), entries_.end(), sameUnique);
    for (auto dropped = end; dropped != entries_.end(); ++dropped) unusedBytes_ += dropped->uniqueLength;
    entries_.erase(end, entries_.end());
}

std::string_view MessageList::UniqueOf(const Entry& entry) const
{
    return std::string_view(uniques_).substr(entry.uniqueAt, entry.uniqueLength);
}

std::uint32_t MessageList::AddUnique(std::string_view unique)
{
    // A file name has at most 255 bytes; the names of a folder fit in 4 GB many times over.
    if (unique.size() > std::numeric_limits<std::uint8_t>::max() ||
        uniques_.size() + unique.size() > std::numeric_limits<std::uint32_t>::max()) {
        Fail("The message name \"" + std::string(unique) + "\" cannot be kept.");
    }
    const auto at = static_cast<std::uint32_t>(uniques_.size());
    uniques_.append(unique);
    return at;
}

MessageList::Entry MessageList::EntryOfFile(std::string_view fileName, bool inNew)
{
    const std::string_view unique = UniquePartOf(fileName);
    Entry entry;
    entry.flags = FlagsOf(fileName);
    entry.uniqueAt = AddUnique(unique);
    entry.uniqueLength = static_cast<std::uint8_t>(unique.size());
    entry.hasInfo = unique.size() != fileName.size();
    entry.inNew = inNew;
    return entry;
}

RecordPtr MessageList::At(std::size_t index)
{
    Entry& entry = entries_[index];
    if (!entry.record) {
        entry.record = std::make_shared<MessageRecord>();
        entry.record->name.unique = std::string(UniqueOf(entry));
        entry.record->name.hasInfo = entry.hasInfo;
        entry.record->name.flags = entry.flags;
        entry.record->subdir = SubdirName(entry.inNew);
        handedOut_.push_back(index);
    }
    RecordPtr record = entry.record;
    if (handedOut_.size() >= releaseAt_) ReleaseIdleRecords();
    return record;
}

void MessageList::Append(RecordPtr record)
{
    Entry entry;
    entry.uniqueAt = AddUnique(record->name.unique);
    entry.uniqueLength = static_cast<std::uint8_t>(record->name.unique.size());
    TakeNameOf(entry, *record);
    entry.record = std::move(record);
    handedOut_.push_back(entries_.size());
    entries_.push_back(std::move(entry));
    // A folder that items are moved into may never be read: its list lets go here too.
    if (handedOut_.size() >= releaseAt_) ReleaseIdleRecords();
}

void MessageList::Remove(const MessageRecord* record)
{
    // Walks go from the last item to the first, so the record is usually among the last handed out.
    const auto held = std::find_if(handedOut_.rbegin(), handedOut_.rend(),
                                   [&](std::size_t index) { return entries_[index].record.get() == record; });
    if (held == handedOut_.rend()) return;
    const std::size_t index = *held;
    handedOut_.erase(std::next(held).base());
    for (std::size_t& other : handedOut_) {
        if (other > index) --other;
    }
    unusedBytes_ += entries_[index].uniqueLength;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    if (unusedBytes_ > uniques_.size() / 2) CompactUniques();
}

std::vector<std::string> MessageList::Update(const MessageList& onDisk)
{
    MessagePlaces diskPlaces;
    for (std::size_t i = 0; i < onDisk.entries_.size(); ++i) {
        diskPlaces.emplace(onDisk.UniqueOf(onDisk.entries_[i]), i);
    }
    MessageList updated;
    const auto copyFromDisk = [&](const Entry& onDiskEntry) {
        Entry copy = onDiskEntry;
        copy.uniqueAt = updated.AddUnique(onDisk.UniqueOf(onDiskEntry));
        return copy;
    };
    for (Entry& entry : entries_) {
        const auto found = diskPlaces.find(UniqueOf(entry));
        if (found == diskPlaces.end()) continue;
        Entry kept = copyFromDisk(onDisk.entries_[found->second]);
        if (entry.record) {
            entry.record->name.hasInfo = kept.hasInfo;
            entry.record->name.flags = kept.flags;
            entry.record->subdir = SubdirName(kept.inNew);
            kept.record = std::move(entry.record);
            updated.handedOut_.push_back(updated.entries_.size());
        }
        updated.entries_.push_back(std::move(kept));
        diskPlaces.erase(found);
    }
    std::vector<std::string> added;
    for (const Entry& onDiskEntry : onDisk.entries_) {
        if (!diskPlaces.count(onDisk.UniqueOf(onDiskEntry))) continue;
        added.emplace_back(onDisk.UniqueOf(onDiskEntry));
        updated.entries_.push_back(copyFromDisk(onDiskEntry));
    }
    *this = std::move(updated);
    return added;
}

void MessageList::TakeNameOf(Entry& entry, const MessageRecord& record)
{
    if (UniqueOf(entry) != record.name.unique) {
        unusedBytes_ += entry.uniqueLength;
        entry.uniqueAt = AddUnique(record.name.unique);
        entry.uniqueLength = static_cast<std::uint8_t>(record.name.unique.size());
    }
    entry.flags = record.name.flags;
    entry.hasInfo = record.name.hasInfo;
    entry.inNew = record.subdir == SubdirName(true);
}

void MessageList::ReleaseIdleRecords()
{
    std::vector<std::size_t> stillHeld;
    for (const std::size_t index : handedOut_) {
        Entry& entry = entries_[index];
        if (entry.record.use_count() > 1) {
            stillHeld.push_back(index);
            continue;
        }
        TakeNameOf(entry, *entry.record);
        entry.record.reset();
    }
    handedOut_ = std::move(stillHeld);
    releaseAt_ = std::max(kFirstRelease, 2 * handedOut_.size());
    if (unusedBytes_ > uniques_.size() / 2) CompactUniques();
}

void MessageList::CompactUniques()
{
    std::string uniques;
    uniques.reserve(uniques_.size() - unusedBytes_);
    for (Entry& entry : entries_) {
        const std::string_view unique = UniqueOf(entry);
        entry.uniqueAt = static_cast<std::uint32_t>(uniques.size());
        uniques.append(unique);
    }
    uniques_ = std::move(uniques);
    unusedBytes_ = 0;
}

}  // namespace outlook
