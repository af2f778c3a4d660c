#pragma once
// The messages of one folder in list order, kept small for folders of many messages: the
// unique names of all messages packed into one buffer, their flags as bits, and a full record
// for a message only while someone holds it (an item object standing for it, a caller).

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/outlook/MaildirNames.h"

namespace outlook {

class ItemImpl;

/// One message file of a folder. `live` is the item object currently standing for it
/// (the identity map); the object clears it when it ends.
struct MessageRecord {
    MaildirName name;
    std::string subdir;  ///< "cur" or "new"
    ItemImpl* live = nullptr;
};

using RecordPtr = std::shared_ptr<MessageRecord>;

/// Places of messages in an order, by their unique names.
using MessagePlaces = std::unordered_map<std::string_view, std::size_t>;

class MessageList {
public:
    /// The message files in cur/ and new/ of `dir` (none for an empty path), each unique name
    /// once, by unique name, except that those named in `last` follow the others in the order of their
    /// places.
    static MessageList Scan(const std::filesystem::path& dir, const MessagePlaces& last = {});
    /// The file of the message with this unique name as it is in `dir` now, in cur/ or new/:
    /// its name and subdir set in `record`, its path returned as found (a name whose flags are
    /// not in order is not the one the record gives back); empty when it is in neither.
    static std::string Find(const std::filesystem::path& dir, MessageRecord& record);

    std::size_t Size() const { return entries_.size(); }
    /// The record of the message at `index` (below Size()): the one held for it, else a new
    /// one made from its file name. While anyone holds it, it is the message's only record.
    RecordPtr At(std::size_t index);
    /// Adds a message at the end; the list keeps its record while anyone else holds it.
    void Append(RecordPtr record);
    /// Removes the message whose record this is; nothing when it is not in the list.
    void Remove(const MessageRecord* record);
    /// Brings the list up to date with the files on disk (`onDisk`, a scan): messages whose
    /// files are gone leave, the others keep their places and take their file names from disk,
    /// and new files follow at the end. Returns the unique names of the new files.
    std::vector<std::string> Update(const MessageList& onDisk);

private:
    struct Entry {
        MaildirFlags flags;
        std::uint32_t uniqueAt = 0;  // where the unique name starts in uniques_
        std::uint8_t uniqueLength = 0;
        bool hasInfo = false;
        bool inNew = false;  // in new/, else in cur/
        RecordPtr record;    // handed out and maybe still held by someone
    };

    std::string_view UniqueOf(const Entry& entry) const;
    /// Keeps the first of the entries (sorted by unique name) that share a unique name.
    void DropRepeatedUniques();
    /// Adds a unique name to uniques_; returns where it starts.
    std::uint32_t AddUnique(std::string_view unique);
    Entry EntryOfFile(std::string_view fileName, bool inNew);
    /// Takes the name of the record, which an item may have changed, into the entry.
    void TakeNameOf(Entry& entry, const MessageRecord& record);
    /// Lets go of the records that only the list holds any more.
    void ReleaseIdleRecords();
    void CompactUniques();

    std::vector<Entry> entries_;
    std::string uniques_;                 // the unique names of the entries, one after the other
    std::size_t unusedBytes_ = 0;         // in uniques_, of names no entry refers to any more
    std::vector<std::size_t> handedOut_;  // the entries that hold a record
    std::size_t releaseAt_ = 0;           // the size of handedOut_ at which idle records go
};

}  // namespace outlook
