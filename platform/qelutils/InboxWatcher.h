#pragma once
// Watches a Maildir folder for arriving messages: files that appear in new/ or cur/.

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <unordered_set>

#include <glib.h>

namespace qelutils {

/// The unique part of a Maildir file name (before the ":" of its info); "" for names that
/// are no message files (hidden files, temporary files of other programs).
std::string MaildirUniquePart(std::string_view fileName);

/// Calls `onArrival` once for each message that arrives in `maildir`/new or `maildir`/cur
/// while the watcher lives: a file moved in from elsewhere (the way Maildir delivers), or a
/// file written in place once it is closed. A message moved from new/ to cur/, or renamed for
/// its flags, is no arrival. The events are read through the GLib main context of the thread
/// that created the watcher, only while a loop runs it; until then they wait in the kernel's
/// queue, which has a fixed size (a program that runs no loop, such as the batch program,
/// does not collect them in memory).
class InboxWatcher {
public:
    using Callback = std::function<void(const std::filesystem::path& file)>;

    /// Raises ComError when the folders cannot be watched.
    InboxWatcher(const std::filesystem::path& maildir, Callback onArrival);
    ~InboxWatcher();
    InboxWatcher(const InboxWatcher&) = delete;
    InboxWatcher& operator=(const InboxWatcher&) = delete;

private:
    static gboolean OnReadable(gint fd, GIOCondition condition, gpointer self);
    void ReadEvents();
    void Handle(int watch, std::uint32_t mask, std::uint32_t cookie, const std::string& name);
    void Arrived(const std::filesystem::path& file);

    Callback onArrival_;
    int fd_ = -1;
    GSource* source_ = nullptr;
    std::map<int, std::filesystem::path> folders_;   // watch descriptor -> new/ or cur/
    std::unordered_set<std::uint32_t> movedOut_;     // cookies of renames that left a watched folder
    std::unordered_set<std::string> reported_;
    std::unordered_set<std::string> beingWritten_;
};

}  // namespace qelutils
