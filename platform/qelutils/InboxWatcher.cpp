#include "platform/qelutils/InboxWatcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <glib-unix.h>

#include <cerrno>
#include <cstring>

#include "platform/com/ComError.h"

namespace qelutils {

namespace {

constexpr std::uint32_t kEvents = IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_CLOSE_WRITE | IN_ONLYDIR;
/// Renames whose arriving half never came (a message moved out of the folder) are forgotten
/// beyond this many.
constexpr std::size_t kMovedOutLimit = 4096;

}  // namespace

std::string MaildirUniquePart(std::string_view fileName)
{
    if (fileName.empty() || fileName.front() == '.') return {};
    return std::string(fileName.substr(0, fileName.find(':')));
}

InboxWatcher::InboxWatcher(const std::filesystem::path& maildir, Callback onArrival)
    : onArrival_(std::move(onArrival)), fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (fd_ < 0) throw ComError(E_FAIL, "Cannot watch \"" + maildir.string() + "\": " + std::strerror(errno));
    for (const char* sub : {"new", "cur"}) {
        const std::filesystem::path dir = maildir / sub;
        const int watch = ::inotify_add_watch(fd_, dir.c_str(), kEvents);
        if (watch < 0) {
            const std::string reason = std::strerror(errno);
            ::close(fd_);
            throw ComError(E_FAIL, "Cannot watch \"" + dir.string() + "\": " + reason);
        }
        folders_[watch] = dir;
    }
    source_ = g_unix_fd_source_new(fd_, G_IO_IN);
    g_source_set_callback(source_, reinterpret_cast<GSourceFunc>(reinterpret_cast<void (*)()>(&InboxWatcher::OnReadable)),
                          this, nullptr);
    g_source_attach(source_, g_main_context_get_thread_default());
}

InboxWatcher::~InboxWatcher()
{
    g_source_destroy(source_);
    g_source_unref(source_);
    ::close(fd_);
}

gboolean InboxWatcher::OnReadable(gint, GIOCondition, gpointer self)
{
    static_cast<InboxWatcher*>(self)->ReadEvents();
    return G_SOURCE_CONTINUE;
}

void InboxWatcher::ReadEvents()
{
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // nothing more for now (EAGAIN)
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_Q_OVERFLOW) g_warning("Some new e-mails were missed: too many changes at once");
            const std::string name = event->len > 0 ? std::string(event->name) : std::string();
            if (!name.empty()) Handle(event->wd, event->mask, event->cookie, name);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

void InboxWatcher::Handle(int watch, std::uint32_t mask, std::uint32_t cookie, const std::string& name)
{
    const auto folder = folders_.find(watch);
    const std::string unique = MaildirUniquePart(name);
    if (folder == folders_.end() || unique.empty() || (mask & IN_ISDIR)) return;
    if (mask & IN_MOVED_FROM) {
        if (movedOut_.size() >= kMovedOutLimit) movedOut_.clear();
        movedOut_.insert(cookie);
    } else if (mask & IN_MOVED_TO) {
        // The other half of a rename inside new/ and cur/ (flags, or new/ to cur/): no arrival.
        if (movedOut_.erase(cookie) == 0) Arrived(folder->second / name);
    } else if (mask & IN_CREATE) {
        beingWritten_.insert(unique);  // written in place: wait until the writer closes it
    } else if ((mask & IN_CLOSE_WRITE) && beingWritten_.erase(unique) > 0) {
        Arrived(folder->second / name);
    }
}

void InboxWatcher::Arrived(const std::filesystem::path& file)
{
    const std::string unique = MaildirUniquePart(file.filename().string());
    if (!reported_.insert(unique).second) return;
    // No exception may cross back into GLib.
    try {
        onArrival_(file);
    } catch (...) {
        g_warning("The new message %s could not be reported", file.c_str());
    }
}

}  // namespace qelutils
