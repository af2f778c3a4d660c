#pragma once
// Messages converted on other cores while a job walks a folder. A job handles the messages of
// a folder one after the other, from the last to the first, and converting one (into a message
// file, or its bodies into text) takes far longer than what the job does with the result. Once
// the walk converted one item, the items it comes to next are converted on worker threads:
// message files into unnamed files, which their own SaveAs only names; body texts into
// memory, which the items' Body and HTMLBody hand out; and, in any walk of a folder from its
// end, the header fields that an item reads first for its class. What a worker made is used
// only when the message's file, and every property written from the item, are still what the
// worker saw; anything else is converted again on the spot, so that the result, and any error,
// are what the conversion in place gives.

#include <sys/stat.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/outlook/HeaderFields.h"
#include "platform/outlook/Store.h"
#include "platform/outlook/msg/MsgFile.h"
#include "platform/runtime/FileIO.h"

namespace outlook {

/// An item's Body and HTMLBody, as read from its stored file.
struct BodyTexts {
    std::string body;
    std::string html;
};

/// What an item of a folder reads first, for its class: the header fields of its file, and
/// whether a header block of the file names a calendar part (looked for only where those
/// fields leave a meeting request possible).
struct ClassHeaders {
    HeaderFields fields;
    bool calendarFound = false;
};

class ConvertAhead {
public:
    enum class Kind { messageFile, bodies, headers };

    ConvertAhead();
    ~ConvertAhead();
    ConvertAhead(const ConvertAhead&) = delete;
    ConvertAhead& operator=(const ConvertAhead&) = delete;

    /// A folder's item collection handed out its item at `index` (from 1).
    void Walked(const FolderStatePtr& folder, int index);
    /// After the walk made this kind of conversion of the item it is at, of `folder`: converts
    /// the items it comes to next, when it walks this folder from its end. Message files are
    /// made in `dir`. Reading a large message's headers and the headers of its parts costs the
    /// walk more than taking them from a worker, even from memory.
    void PrepareNext(Kind kind, const FolderStatePtr& folder, const std::string& dir);

    /// The message file converted ahead from the message of this unique name, stored at
    /// `path`, with `props`: complete and unnamed; -1 when none was, or when the message
    /// changed since.
    UniqueFd TakeFile(const std::string& unique, const std::string& path, const MsgItemProperties& props);
    /// The bodies read ahead from the message of this unique name, stored at `path`; nothing
    /// when they were not, or when the message changed since.
    std::optional<BodyTexts> TakeBodies(const std::string& unique, const std::string& path);
    /// The headers read ahead, in the same way.
    std::optional<ClassHeaders> TakeHeaders(const std::string& unique, const std::string& path);
    /// The job wrote a new version of a message file in its place: what was converted from
    /// the old one is no longer handed out.
    void Rewrote() { lookedAtPath_.clear(); }

    struct Job;
    using JobPtr = std::shared_ptr<Job>;
    struct Converted;

private:
    /// What the walk does with one kind of conversion.
    struct Lane {
        int nextIndex = 0;          // the next index to convert ahead
        std::deque<JobPtr> ahead;   // in the order the walk comes to them
    };

    /// The conversion made for this message, waited for; nothing when there is none or the
    /// message's file is not the one it was made from.
    std::optional<Converted> Take(Lane& lane, const std::string& unique, const std::string& path);
    /// The version of the message file at `path` for the item the walk is at: looked at once
    /// for all the conversions taken for it, so that what the item hands out comes from one
    /// version of its file; false when the file is not there.
    bool VersionOfWalkedFile(const std::string& path, struct stat& version);
    void StartWorkers();
    void Work();
    void Queue(Lane& lane, JobPtr job);
    void CancelAll();

    // The walk, as the main thread sees it.
    std::weak_ptr<FolderState> folder_;
    int lastIndex_ = 0;     // the index handed out last
    bool stepped_ = false;  // the walk went from one index to the one below it
    Lane lanes_[3];         // by Kind
    std::string lookedAtPath_;  // the walked item's file, looked at for the conversions taken
    struct stat lookedAtVersion_ {};

    // Shared with the workers.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<JobPtr> pending_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace outlook
