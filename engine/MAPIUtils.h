#pragma once
// TMAPIUtils: the typed client of the external server's MAPI utility interface. It attaches
// to a running instance of the server's class (or creates one), listens to its new-mail
// event and forwards the property calls. Every call connects first when not connected;
// a failure code is raised as ComError.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/com/Unknown.h"
#include "platform/outlook/Outlook.h"

namespace qelutils {
struct IMAPIUtils;
}

class TMAPIUtils;

/// A new e-mail arrived in the Inbox.
using TMAPIUtilsNewMailEvent = std::function<void(TMAPIUtils& Sender, const ComPtr<outlook::IOutlookItem>& Item)>;

class TMAPIUtils {
public:
    /// Whether Connect advises the event sink. A client that never handles new e-mails (the
    /// batch program) does not listen, so the server watches no Inbox on its behalf.
    enum class TNewMailEvents { Listen, Ignore };

    explicit TMAPIUtils(TNewMailEvents NewMailEvents = TNewMailEvents::Listen);
    /// Disconnects.
    ~TMAPIUtils();
    TMAPIUtils(const TMAPIUtils&) = delete;
    TMAPIUtils& operator=(const TMAPIUtils&) = delete;

    /// Attaches to the running server object, else creates one; connects the event sink unless
    /// the client ignores new e-mails.
    void Connect();
    /// Disconnects the event sink and releases the server object.
    void Disconnect();
    bool Connected() const { return static_cast<bool>(FIntf); }

    /// A property of a MAPI object (an address entry's MAPIOBJECT) read as text.
    std::string GetMAPIProperty(const ComPtr<IUnknown>& Object, std::uint32_t Tag);
    /// Sets a property of a MAPI object (an item) and stores it when Save is set.
    std::int32_t SetMAPIProperty(const ComPtr<IUnknown>& Object, std::uint32_t Tag, const std::string& Value,
                                 bool Save);
    /// Asks the server to let go of its resources; called right before disconnecting.
    void Shutdown();

    /// Fired by the server's event 1 with the new item; other events are ignored.
    TMAPIUtilsNewMailEvent OnNewMail;

private:
    class TEventSink;
    friend class TEventSink;
    void FireNewMail(const ComPtr<outlook::IOutlookItem>& Item);
    qelutils::IMAPIUtils& Intf();

    void AdviseSink(const ComPtr<IUnknown>& Server);

    TNewMailEvents FNewMailEvents;
    ComPtr<qelutils::IMAPIUtils> FIntf;
    ComPtr<TEventSink> FSink;
    std::uint32_t FCookie = 0;
};
