#include "platform/outlook/ConvertAhead.h"

#include <pthread.h>

#include <signal.h>
#include <sys/stat.h>

#include <atomic>
#include <future>

#include "platform/outlook/DateConv.h"
#include "platform/outlook/HeaderFields.h"
#include "platform/outlook/Item.h"
#include "platform/outlook/MessageFiles.h"
#include "platform/outlook/Mime.h"

namespace outlook {

namespace {

/// Enough workers to keep the walk fed, one core left to the walk itself.
unsigned WorkerCount()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 1 ? std::min(cores - 1, 7u) : 0;
}

/// Which file a path named when it was read: a message file that another program replaced
/// under the same name is another file.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    static FileIdentity Of(const struct stat& st) { return {st.st_dev, st.st_ino, st.st_size, st.st_mtim}; }
    bool operator==(const FileIdentity& other) const
    {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
    }
};

bool SameProperties(const MsgItemProperties& a, const MsgItemProperties& b)
{
    return a.read == b.read && a.deliveryTime == b.deliveryTime && a.creationTime == b.creationTime &&
           a.isPost == b.isPost;
}

/// What a worker made of one message: the converted file, and what it was made from.
struct Converted {
    UniqueFd file{-1};
    MsgItemProperties props;
    FileIdentity source;
};

/// The item's properties as the item would give them, from the file read by a worker.
MsgItemProperties PropertiesOf(const std::string& unique, bool read, const HeaderFields& headers,
                               const struct stat& st)
{
    MsgItemProperties props;
    props.read = read;
    props.creationTime = LocalDateTime(st.st_mtime);
    const auto arrived = ArrivalTimeOf(unique, headers);
    props.deliveryTime = arrived ? LocalDateTime(*arrived) : props.creationTime;
    props.isPost = ClassFromHeaders(headers) == olPost;
    return props;
}

}  // namespace

struct ConvertAhead::Job {
    std::string source;  // the message file
    std::string unique;  // the message's unique name
    bool read = false;   // the message's file name holds the "seen" flag
    std::string dir;     // where the unnamed file is made
    std::atomic<bool> cancelled{false};
    std::promise<Converted> done;
    std::future<Converted> result = done.get_future();

    Converted Run() const;
};

Converted ConvertAhead::Job::Run() const
{
    Converted converted;
    const HeaderFields headers(ReadHeaderBlock(source));
    UniqueFd in = OpenMessageFile(source);  // the file the header block was read from
    struct stat st {};
    if (::fstat(in.Get(), &st) != 0) return converted;
    converted.source = FileIdentity::Of(st);
    converted.props = PropertiesOf(unique, read, headers, st);
    auto message = ParseMessageFd(std::move(in));
    if (!message) message = ParseMessage(ReadWholeFile(source));
    UniqueFd out = OpenUnnamedFile(dir);
    if (out.Get() < 0) return converted;
#ifdef TROVANTA_HAVE_MSGFILE
    WriteMsgFileTo(message.get(), converted.props, out.Get(), source);
    converted.file = std::move(out);
#endif
    return converted;
}

ConvertAhead::ConvertAhead() = default;

ConvertAhead::~ConvertAhead()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        for (const JobPtr& job : pending_) job->cancelled = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void ConvertAhead::Walked(const FolderStatePtr& folder, int index)
{
    const bool continues = folder_.lock() == folder && index == lastIndex_ - 1;
    if (!continues) {
        CancelAll();
        folder_ = folder;
        nextIndex_ = index - 1;
    }
    stepped_ = continues;
    lastIndex_ = index;
    // The walk may have passed items that were never converted (the job's filter left them).
    nextIndex_ = std::min(nextIndex_, index - 1);
}

UniqueFd ConvertAhead::Take(const std::string& unique, const std::string& path, const MsgItemProperties& props)
{
    // Items ahead of this one were passed over by the job.
    while (!ahead_.empty() && ahead_.front()->unique != unique) {
        ahead_.front()->cancelled = true;
        ahead_.pop_front();
    }
    if (ahead_.empty()) return UniqueFd(-1);
    const JobPtr job = std::move(ahead_.front());
    ahead_.pop_front();
    Converted converted = job->result.get();
    struct stat st {};
    if (converted.file.Get() < 0 || job->source != path || !SameProperties(converted.props, props) ||
        ::stat(path.c_str(), &st) != 0 ||
        !(FileIdentity::Of(st) == converted.source)) {
        return UniqueFd(-1);
    }
    return std::move(converted.file);
}

void ConvertAhead::PrepareNext(const FolderStatePtr& folder, const std::string& dir)
{
    if (!stepped_ || folder_.lock() != folder) return;
    StartWorkers();
    if (workers_.empty()) return;
    MessageList& records = folder->Records();
    const std::size_t window = 2 * workers_.size();
    for (; ahead_.size() < window && nextIndex_ >= 1; --nextIndex_) {
        if (static_cast<std::size_t>(nextIndex_) > records.Size()) continue;
        const RecordPtr record = records.At(static_cast<std::size_t>(nextIndex_ - 1));
        auto job = std::make_shared<Job>();
        job->source = folder->FileOf(*record);
        job->unique = record->name.unique;
        job->read = record->name.HasFlag('S');
        job->dir = dir;
        Queue(std::move(job));
    }
}

void ConvertAhead::Queue(JobPtr job)
{
    ahead_.push_back(job);
    {
        const std::lock_guard lock(mutex_);
        pending_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void ConvertAhead::CancelAll()
{
    for (const JobPtr& job : ahead_) job->cancelled = true;
    ahead_.clear();
}

void ConvertAhead::StartWorkers()
{
    if (!workers_.empty()) return;
    // The workers take no signals: those are for the thread that runs the job.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    for (unsigned n = WorkerCount(); n > 0; --n) workers_.emplace_back([this] { Work(); });
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

void ConvertAhead::Work()
{
    for (;;) {
        JobPtr job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
            if (pending_.empty()) return;
            job = std::move(pending_.front());
            pending_.pop_front();
        }
        Converted converted;
        if (!job->cancelled) {
            try {
                converted = job->Run();
            } catch (...) {
                // converted on the spot, where the error is reported as it should be
            }
        }
        job->done.set_value(std::move(converted));
    }
}

}  // namespace outlook
