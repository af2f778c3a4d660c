#include "platform/outlook/ConvertAhead.h"

#include <pthread.h>

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <future>

#include "platform/outlook/BodyTexts.h"
#include "platform/outlook/DateConv.h"
#include "platform/outlook/HeaderFields.h"
#include "platform/outlook/Item.h"
#include "platform/outlook/MessageFiles.h"
#include "platform/outlook/Mime.h"
#include "platform/runtime/AtomicFile.h"

namespace outlook {

namespace {

/// Enough workers to keep the walk fed, one core left to the walk itself.
unsigned WorkerCount()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 1 ? std::min(cores - 1, 7u) : 0;
}

bool SameProperties(const MsgItemProperties& a, const MsgItemProperties& b)
{
    return a.read == b.read && a.deliveryTime == b.deliveryTime && a.creationTime == b.creationTime &&
           a.isPost == b.isPost;
}

/// The item's properties as the item would give them, from the file read by a worker.
MsgItemProperties PropertiesOf(const std::string& unique, bool read, const HeaderFields& headers,
                               std::time_t modified)
{
    MsgItemProperties props;
    props.read = read;
    props.creationTime = LocalDateTime(modified);
    const auto arrived = ArrivalTimeOf(unique, headers);
    props.deliveryTime = arrived ? LocalDateTime(*arrived) : props.creationTime;
    props.isPost = ClassFromHeaders(headers) == olPost;
    return props;
}

/// A worker's view of the message it reads, as BodyTexts.h reads bodies.
class StoredMessage {
public:
    StoredMessage(std::string path, HeaderFields headers) : path_(std::move(path)), headers_(std::move(headers)) {}
    bool ReadWhole() const { return full_.get() != nullptr; }
    const HeaderFields& Headers() const { return headers_; }
    GMimeMessage* FullMessage()
    {
        if (!full_) full_ = ParseStoredMessage(path_, OpenMessageFile(path_));
        return full_.get();
    }
    template <class Act>
    auto WithFile(Act&& act)
    {
        return act(path_);
    }

private:
    std::string path_;
    HeaderFields headers_;
    GObjectPtr<GMimeMessage> full_;
};

/// Bodies larger than this are read again by their item rather than held, so that what the
/// window holds stays small whatever the messages.
constexpr std::size_t kBodiesHeldAtMost = 1 << 20;

}  // namespace

/// What a worker made of one message, and from which file.
struct ConvertAhead::Converted {
    struct stat source {};  // the file as it was read
    UniqueFd file{-1};  // Kind::messageFile
    MsgItemProperties props;
    std::optional<BodyTexts> bodies;     // Kind::bodies
    std::optional<ClassHeaders> headers;  // Kind::headers

    /// Takes the version of the file `in`; false when it cannot be known.
    bool ReadFrom(const UniqueFd& in) { return ::fstat(in.Get(), &source) == 0; }
};

struct ConvertAhead::Job {
    Kind kind = Kind::messageFile;
    std::string source;  // the message file
    std::string unique;  // the message's unique name
    bool read = false;   // the message's file name holds the "seen" flag
    std::string dir;     // where the unnamed file is made
    std::atomic<bool> cancelled{false};
    std::promise<Converted> done;
    std::future<Converted> result = done.get_future();

    Converted Run() const;

private:
    Converted ReadHeaders() const;
    Converted ReadBodies() const;
    Converted WriteMessageFile() const;
};

ConvertAhead::Converted ConvertAhead::Job::Run() const
{
    switch (kind) {
    case Kind::headers:
        return ReadHeaders();
    case Kind::bodies:
        return ReadBodies();
    case Kind::messageFile:
        break;
    }
    return WriteMessageFile();
}

ConvertAhead::Converted ConvertAhead::Job::ReadHeaders() const
{
    Converted converted;
    converted.headers = ReadClassHeaders(source);
    if (!converted.ReadFrom(OpenMessageFile(source))) return {};  // the file just read
    return converted;
}

ConvertAhead::Converted ConvertAhead::Job::ReadBodies() const
{
    Converted converted;
    StoredMessage message(source, HeaderFields(ReadHeaderBlock(source)));
    if (!converted.ReadFrom(OpenMessageFile(source))) return {};
    BodyTexts bodies;
    bodies.html = HtmlBodyOf(message);
    bodies.body = PlainBodyOf(message, [&bodies] { return bodies.html; });
    if (bodies.body.size() + bodies.html.size() <= kBodiesHeldAtMost) converted.bodies = std::move(bodies);
    return converted;
}

ConvertAhead::Converted ConvertAhead::Job::WriteMessageFile() const
{
    Converted converted;
    StoredMessage message(source, HeaderFields(ReadHeaderBlock(source)));
    UniqueFd in = OpenMessageFile(source);  // the file the header block was read from
    if (!converted.ReadFrom(in)) return {};
    converted.props = PropertiesOf(unique, read, message.Headers(), converted.source.st_mtime);
    UniqueFd out = OpenUnnamedFile(dir);
    if (out.Get() < 0) return converted;
#ifdef TROVANTA_HAVE_MSGFILE
    WriteMsgFileTo(ParseStoredMessage(source, std::move(in)).get(), converted.props, out.Get(), source);
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
        for (Lane& lane : lanes_) lane.nextIndex = index - 1;
    }
    stepped_ = continues;
    lastIndex_ = index;
    lookedAtPath_.clear();
    // The walk may have passed items that were never converted (the job's filter left them).
    for (Lane& lane : lanes_) lane.nextIndex = std::min(lane.nextIndex, index - 1);
}

void ConvertAhead::PrepareNext(Kind kind, const FolderStatePtr& folder, const std::string& dir)
{
    if (!stepped_ || folder_.lock() != folder) return;
    StartWorkers();
    if (workers_.empty()) return;
    Lane& lane = lanes_[static_cast<int>(kind)];
    // Refilled by halves, so that the workers are woken once for several messages.
    const std::size_t window = 4 * workers_.size();
    if (lane.ahead.size() > window / 2) return;
    MessageList& records = folder->Records();
    bool queued = false;
    for (; lane.ahead.size() < window && lane.nextIndex >= 1; --lane.nextIndex) {
        if (static_cast<std::size_t>(lane.nextIndex) > records.Size()) continue;
        const RecordPtr record = records.At(static_cast<std::size_t>(lane.nextIndex - 1));
        auto job = std::make_shared<Job>();
        job->kind = kind;
        job->source = folder->FileOf(*record);
        job->unique = record->name.unique;
        job->read = record->name.HasFlag('S');
        job->dir = dir;
        Queue(lane, std::move(job));
        queued = true;
    }
    // One worker is woken here and wakes the next (see Work): waking them all at once costs
    // the walk's thread a wake-up of every sleeping worker, for each refill.
    if (queued) wake_.notify_one();
}

std::optional<ConvertAhead::Converted> ConvertAhead::Take(Lane& lane, const std::string& unique,
                                                          const std::string& path)
{
    // Items ahead of this one were passed over by the job.
    while (!lane.ahead.empty() && lane.ahead.front()->unique != unique) {
        lane.ahead.front()->cancelled = true;
        lane.ahead.pop_front();
    }
    if (lane.ahead.empty()) return std::nullopt;
    const JobPtr job = std::move(lane.ahead.front());
    lane.ahead.pop_front();
    Converted converted = job->result.get();
    struct stat st {};
    if (job->source != path || !VersionOfWalkedFile(path, st) || !SameFileVersion(st, converted.source)) {
        return std::nullopt;
    }
    return converted;
}

bool ConvertAhead::VersionOfWalkedFile(const std::string& path, struct stat& version)
{
    if (lookedAtPath_ != path) {
        if (::stat(path.c_str(), &lookedAtVersion_) != 0) return false;
        lookedAtPath_ = path;
    }
    version = lookedAtVersion_;
    return true;
}

UniqueFd ConvertAhead::TakeFile(const std::string& unique, const std::string& path, const MsgItemProperties& props)
{
    auto converted = Take(lanes_[static_cast<int>(Kind::messageFile)], unique, path);
    if (!converted || !SameProperties(converted->props, props)) return UniqueFd(-1);
    return std::move(converted->file);
}

std::optional<BodyTexts> ConvertAhead::TakeBodies(const std::string& unique, const std::string& path)
{
    auto converted = Take(lanes_[static_cast<int>(Kind::bodies)], unique, path);
    if (!converted) return std::nullopt;
    return std::move(converted->bodies);
}

std::optional<ClassHeaders> ConvertAhead::TakeHeaders(const std::string& unique, const std::string& path)
{
    auto converted = Take(lanes_[static_cast<int>(Kind::headers)], unique, path);
    if (!converted) return std::nullopt;
    return std::move(converted->headers);
}

void ConvertAhead::Queue(Lane& lane, JobPtr job)
{
    lane.ahead.push_back(job);
    const std::lock_guard lock(mutex_);
    pending_.push_back(std::move(job));
}

void ConvertAhead::CancelAll()
{
    for (Lane& lane : lanes_) {
        for (const JobPtr& job : lane.ahead) job->cancelled = true;
        lane.ahead.clear();
    }
}

void ConvertAhead::StartWorkers()
{
    if (!workers_.empty()) return;
    // The workers take no signals: those are for the thread that runs the job.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    for (unsigned n = WorkerCount(); n > 0; --n) {
        workers_.emplace_back([this] { Work(); });
        pthread_setname_np(workers_.back().native_handle(), "convert-ahead");
    }
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
            if (!pending_.empty()) wake_.notify_one();
        }
        Converted converted;
        if (!job->cancelled) {
            try {
                converted = job->Run();
            } catch (...) {
                // converted on the spot, where the error is reported as it should be
            }
            CloseMessageFileLeftOpen();
        }
        job->done.set_value(std::move(converted));
    }
}

}  // namespace outlook
