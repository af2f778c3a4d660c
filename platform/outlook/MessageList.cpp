#include "platform/outlook/MessageList.h"

#include <algorithm>
#include <limits>
#include <system_error>

#include "platform/outlook/Errors.h"

namespace fs = std::filesystem;

namespace outlook {

namespace {

/// Records handed out are looked at again, and let go when idle, once there are this many
/// (or twice as many as were still held the last time).
constexpr std::size_t kFirstRelease = 64;

bool IsNewDir(const std::string& subdir)
{
    return subdir == "new";
}

}  // namespace

MessageList MessageList::Scan(const fs::path& dir, const MessagePlaces& last)
{
    MessageList list;
    if (dir.empty()) return list;
    for (const bool inNew : {false, true}) {
        std::error_code ec;
        for (fs::directory_iterator it(dir / (inNew ? "new" : "cur"), ec), end; !ec && it != end;
             it.increment(ec)) {
            const std::string fileName = it->path().filename().string();
            if (fileName.empty() || fileName[0] == '.') continue;
            list.entries_.push_back(list.NewEntry(fileName, inNew));
        }
    }
    const auto byUnique = [&list](const Entry& a, const Entry& b) {
        return list.UniqueOf(a) < list.UniqueOf(b);
    };
    std::sort(list.entries_.begin(), list.entries_.end(), byUnique);
    if (last.empty()) return list;
    const auto firstLast =
        std::stable_partition(list.entries_.begin(), list.entries_.end(),
                              [&](const Entry& entry) { return !last.count(list.UniqueOf(entry)); });
    std::sort(firstLast, list.entries_.end(), [&](const Entry& a, const Entry& b) {
        return last.at(list.UniqueOf(a)) < last.at(list.UniqueOf(b));
    });
    return list;
}

std::string_view MessageList::FileNameOf(const Entry& entry) const
{
    return std::string_view(names_).substr(entry.nameAt, entry.nameLength);
}

std::string_view MessageList::UniqueOf(const Entry& entry) const
{
    return std::string_view(names_).substr(entry.nameAt, entry.uniqueLength);
}

MessageList::Entry MessageList::NewEntry(std::string_view fileName, bool inNew)
{
    // A file name has at most 255 bytes; the names of a folder fit in 4 GB many times over.
    if (fileName.size() > std::numeric_limits<std::uint8_t>::max() ||
        names_.size() + fileName.size() > std::numeric_limits<std::uint32_t>::max()) {
        Fail("The message file name \"" + std::string(fileName) + "\" cannot be kept.");
    }
    Entry entry;
    entry.nameAt = static_cast<std::uint32_t>(names_.size());
    entry.nameLength = static_cast<std::uint8_t>(fileName.size());
    entry.uniqueLength = static_cast<std::uint8_t>(UniquePartOf(fileName).size());
    entry.inNew = inNew;
    names_.append(fileName);
    return entry;
}

RecordPtr MessageList::At(std::size_t index)
{
    Entry& entry = entries_[index];
    if (!entry.record) {
        entry.record = std::make_shared<MessageRecord>();
        entry.record->name = ParseMaildirName(FileNameOf(entry));
        entry.record->subdir = entry.inNew ? "new" : "cur";
        handedOut_.push_back(index);
    }
    RecordPtr record = entry.record;
    if (handedOut_.size() >= releaseAt_) ReleaseIdleRecords();
    return record;
}

void MessageList::Append(RecordPtr record)
{
    Entry entry = NewEntry(record->name.FileName(), IsNewDir(record->subdir));
    entry.record = std::move(record);
    handedOut_.push_back(entries_.size());
    entries_.push_back(std::move(entry));
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
    unusedBytes_ += entries_[index].nameLength;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    if (unusedBytes_ > names_.size() / 2) CompactNames();
}

std::vector<std::string> MessageList::Update(const MessageList& onDisk)
{
    MessagePlaces diskPlaces;
    for (std::size_t i = 0; i < onDisk.entries_.size(); ++i)
        diskPlaces.emplace(onDisk.UniqueOf(onDisk.entries_[i]), i);
    MessageList updated;
    for (Entry& entry : entries_) {
        const auto found = diskPlaces.find(UniqueOf(entry));
        if (found == diskPlaces.end()) continue;
        const Entry& onDiskEntry = onDisk.entries_[found->second];
        Entry kept = updated.NewEntry(onDisk.FileNameOf(onDiskEntry), onDiskEntry.inNew);
        if (entry.record) {
            entry.record->name = ParseMaildirName(onDisk.FileNameOf(onDiskEntry));
            entry.record->subdir = onDiskEntry.inNew ? "new" : "cur";
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
        updated.entries_.push_back(updated.NewEntry(onDisk.FileNameOf(onDiskEntry), onDiskEntry.inNew));
    }
    *this = std::move(updated);
    return added;
}

void MessageList::TakeNameOf(Entry& entry, const MessageRecord& record)
{
    const std::string fileName = record.name.FileName();
    const bool inNew = IsNewDir(record.subdir);
    if (FileNameOf(entry) == fileName && entry.inNew == inNew) return;
    unusedBytes_ += entry.nameLength;
    Entry renamed = NewEntry(fileName, inNew);
    renamed.record = std::move(entry.record);
    entry = std::move(renamed);
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
    if (unusedBytes_ > names_.size() / 2) CompactNames();
}

void MessageList::CompactNames()
{
    std::string names;
    names.reserve(names_.size() - unusedBytes_);
    for (Entry& entry : entries_) {
        const std::string_view fileName = FileNameOf(entry);
        entry.nameAt = static_cast<std::uint32_t>(names.size());
        names.append(fileName);
    }
    names_ = std::move(names);
    unusedBytes_ = 0;
}

}  // namespace outlook
