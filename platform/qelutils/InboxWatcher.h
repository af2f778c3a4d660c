#pragma once
// Watches a Maildir folder for arriving messages: files that appear in new/ or cur/.

#include <filesystem>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include <gio/gio.h>

#include "platform/outlook/GLibPtr.h"

namespace qelutils {

/// The unique part of a Maildir file name (before the ":" of its info); "" for names that
/// are no message files (hidden files, temporary files of other programs).
std::string MaildirUniquePart(std::string_view fileName);

/// Calls `onArrival` once for each message that arrives in `maildir`/new or `maildir`/cur
/// while the watcher lives: a file moved in (the way Maildir delivers), or a file written
/// in place once it is closed. A message moved from new/ to cur/, or renamed for its
/// flags, is not reported again. Events come through the GLib main context of the thread
/// that created the watcher, so they need a running main loop.
class InboxWatcher {
public:
    using Callback = std::function<void(const std::filesystem::path& file)>;

    /// Raises ComError when the folders cannot be watched.
    InboxWatcher(const std::filesystem::path& maildir, Callback onArrival);
    ~InboxWatcher();
    InboxWatcher(const InboxWatcher&) = delete;
    InboxWatcher& operator=(const InboxWatcher&) = delete;

private:
    struct Monitor {
        GObjectPtr<GFileMonitor> monitor;
        gulong handler = 0;
    };

    static void OnChanged(GFileMonitor* monitor, GFile* file, GFile* other, GFileMonitorEvent event, gpointer self);
    void Handle(GFile* file, GFileMonitorEvent event);
    void Arrived(GFile* file);

    Callback onArrival_;
    std::vector<Monitor> monitors_;
    std::unordered_set<std::string> reported_;
    std::unordered_set<std::string> beingWritten_;
};

}  // namespace qelutils
