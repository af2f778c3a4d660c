#include "platform/qelutils/InboxWatcher.h"

#include "platform/com/ComError.h"

namespace qelutils {

std::string MaildirUniquePart(std::string_view fileName)
{
    if (fileName.empty() || fileName.front() == '.') return {};
    return std::string(fileName.substr(0, fileName.find(':')));
}

InboxWatcher::InboxWatcher(const std::filesystem::path& maildir, Callback onArrival)
    : onArrival_(std::move(onArrival))
{
    for (const char* sub : {"new", "cur"}) {
        const auto dir = GObjectPtr<GFile>::Adopt(g_file_new_for_path((maildir / sub).c_str()));
        GError* rawError = nullptr;
        auto monitor = GObjectPtr<GFileMonitor>::Adopt(
            g_file_monitor_directory(dir.get(), G_FILE_MONITOR_WATCH_MOVES, nullptr, &rawError));
        const GErrorPtr error(rawError);
        if (!monitor) {
            throw ComError(E_FAIL, "Cannot watch \"" + (maildir / sub).string() +
                                       "\": " + (error ? error->message : "unknown error"));
        }
        const gulong handler = g_signal_connect(monitor.get(), "changed", G_CALLBACK(&InboxWatcher::OnChanged), this);
        monitors_.push_back({std::move(monitor), handler});
    }
}

InboxWatcher::~InboxWatcher()
{
    for (auto& m : monitors_) {
        g_signal_handler_disconnect(m.monitor.get(), m.handler);
        g_file_monitor_cancel(m.monitor.get());
    }
}

void InboxWatcher::OnChanged(GFileMonitor*, GFile* file, GFile*, GFileMonitorEvent event, gpointer self)
{
    static_cast<InboxWatcher*>(self)->Handle(file, event);
}

void InboxWatcher::Handle(GFile* file, GFileMonitorEvent event)
{
    switch (event) {
        case G_FILE_MONITOR_EVENT_MOVED_IN:
            Arrived(file);
            break;
        case G_FILE_MONITOR_EVENT_CREATED: {
            // Written in place: wait until the writer closes it.
            const std::string unique = MaildirUniquePart(TakeString(g_file_get_basename(file)));
            if (!unique.empty()) beingWritten_.insert(unique);
            break;
        }
        case G_FILE_MONITOR_EVENT_CHANGES_DONE_HINT: {
            const std::string unique = MaildirUniquePart(TakeString(g_file_get_basename(file)));
            if (beingWritten_.erase(unique) > 0) Arrived(file);
            break;
        }
        default:
            // A rename inside new/ or cur/ changes a message's flags: no arrival.
            break;
    }
}

void InboxWatcher::Arrived(GFile* file)
{
    const std::string unique = MaildirUniquePart(TakeString(g_file_get_basename(file)));
    if (unique.empty() || !reported_.insert(unique).second) return;
    const std::filesystem::path path = TakeString(g_file_get_path(file));
    // No exception may cross back into GLib.
    try {
        onArrival_(path);
    } catch (...) {
        g_warning("The new message %s could not be reported", path.c_str());
    }
}

}  // namespace qelutils
