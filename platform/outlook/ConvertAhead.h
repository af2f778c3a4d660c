#pragma once
// Message files (.msg) converted on other cores while a job walks a folder. A job exports the
// messages of a folder one after the other, from the last to the first; converting one takes
// far longer than naming the file. Once an item of a folder was saved as a message file, the
// items the walk comes to next are converted into unnamed files on worker threads, and their
// own SaveAs only gives the finished file its name. What a worker made is used only when the
// message's file and every property written from the item are still what the worker saw;
// anything else is converted again on the spot, so that the file, and any error, are what the
// conversion in place would give.

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/outlook/Store.h"
#include "platform/outlook/msg/MsgFile.h"
#include "platform/runtime/FileIO.h"

namespace outlook {

class ConvertAhead {
public:
    ConvertAhead();
    ~ConvertAhead();
    ConvertAhead(const ConvertAhead&) = delete;
    ConvertAhead& operator=(const ConvertAhead&) = delete;

    /// A folder's item collection handed out its item at `index` (from 1).
    void Walked(const FolderStatePtr& folder, int index);
    /// The message file converted ahead from the message of this unique name, stored at
    /// `path`, with `props`: complete and unnamed; -1 when none was, or when the message
    /// changed since.
    UniqueFd Take(const std::string& unique, const std::string& path, const MsgItemProperties& props);
    /// After the item of `folder` that the walk is at was saved as a message file in `dir`:
    /// converts the items the walk comes to next, when it walks this folder from its end.
    void PrepareNext(const FolderStatePtr& folder, const std::string& dir);

    struct Job;
    using JobPtr = std::shared_ptr<Job>;

private:
    void StartWorkers();
    void Work();
    void Queue(JobPtr job);
    void CancelAll();

    // The walk, as the main thread sees it.
    std::weak_ptr<FolderState> folder_;
    int lastIndex_ = 0;     // the index handed out last
    bool stepped_ = false;  // the walk went from one index to the one below it
    int nextIndex_ = 0;     // the next index to convert ahead
    std::deque<JobPtr> ahead_;  // in the order the walk comes to them

    // Shared with the workers.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<JobPtr> pending_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace outlook
