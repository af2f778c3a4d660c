#include "themes/ApplicationWindow.h"

#include <QApplication>

#include <QtDebug>

#include <algorithm>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

namespace themes {

namespace {

/// One event filter on the application object that hands the messages it receives to the hooks.
class HookDispatcher final : public QObject {
public:
    int Add(ApplicationHook::Function hook)
    {
        hooks_.emplace_back(++lastId_, std::move(hook));
        return lastId_;
    }

    void Remove(int id)
    {
        std::erase_if(hooks_, [id](const auto& entry) { return entry.first == id; });
    }

    bool Empty() const { return hooks_.empty(); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != QCoreApplication::instance()) return false;
        const std::optional<unsigned> number = MessageOfEventType(event->type());
        if (!number) return false;
        TMessage message = MessageFromEvent(event, *number);
        // A hook may add or remove hooks; those present when the message arrived see it.
        std::vector<int> ids;
        for (const auto& entry : hooks_) ids.push_back(entry.first);
        for (const int id : ids) {
            const auto it =
                std::find_if(hooks_.begin(), hooks_.end(), [id](const auto& e) { return e.first == id; });
            if (it == hooks_.end()) continue;
            const ApplicationHook::Function hook = it->second;
            if (Run(hook, message)) return Answer(event, message, true);
        }
        return Answer(event, message, false);
    }

private:
    // A hook runs the manager's events; what they raise ends here, not in Qt's event delivery.
    static bool Run(const ApplicationHook::Function& hook, TMessage& message)
    {
        try {
            return hook(message);
        } catch (const std::exception& error) {
            qWarning("Application window hook: message 0x%x failed: %s", message.Msg, error.what());
        } catch (...) {
            qWarning("Application window hook: message 0x%x failed", message.Msg);
        }
        return false;
    }

    static bool Answer(QEvent* event, const TMessage& message, bool handled)
    {
        if (auto* carried = dynamic_cast<MessageEvent*>(event)) carried->Message.Result = message.Result;
        return handled;
    }

    std::vector<std::pair<int, ApplicationHook::Function>> hooks_;
    int lastId_ = 0;
};

std::unique_ptr<HookDispatcher>& Dispatcher()
{
    static std::unique_ptr<HookDispatcher> dispatcher;
    return dispatcher;
}

TMessage MakeMessage(unsigned message, WPARAM wParam, LPARAM lParam)
{
    TMessage result;
    result.Msg = message;
    result.WParam = wParam;
    result.LParam = lParam;
    return result;
}

}  // namespace

QObject* ApplicationWindow()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

LRESULT SendApplicationMessage(unsigned message, WPARAM wParam, LPARAM lParam)
{
    QObject* window = ApplicationWindow();
    if (!window) return 0;
    MessageEvent event(MakeMessage(message, wParam, lParam));
    QCoreApplication::sendEvent(window, &event);
    return event.Message.Result;
}

void PostApplicationMessage(unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (QObject* window = ApplicationWindow())
        QCoreApplication::postEvent(window, new MessageEvent(MakeMessage(message, wParam, lParam)));
}

// The dispatcher stays once made (a hook may be removed while the dispatcher runs it); it watches
// the application object only while there are hooks.
ApplicationHook::ApplicationHook(Function hook) : id_(0)
{
    std::unique_ptr<HookDispatcher>& dispatcher = Dispatcher();
    if (!dispatcher) dispatcher = std::make_unique<HookDispatcher>();
    if (dispatcher->Empty()) {
        if (QObject* window = ApplicationWindow()) window->installEventFilter(dispatcher.get());
    }
    id_ = dispatcher->Add(std::move(hook));
}

ApplicationHook::~ApplicationHook()
{
    HookDispatcher* dispatcher = Dispatcher().get();
    dispatcher->Remove(id_);
    if (dispatcher->Empty()) {
        if (QObject* window = ApplicationWindow()) window->removeEventFilter(dispatcher);
    }
}

}  // namespace themes
