#pragma once
// The application's window and its hook facility. In this system the application's window is
// the QApplication object: messages for it are posted or sent to it as MessageEvents, and a hook
// sees every message it receives before its own handling, in the order the hooks were added. A
// process without a QApplication has no application window: sending and posting then do nothing.

#include <functional>

#include "themes/ThemeMessages.h"

class QObject;

namespace themes {

/// The application object when it is a widget application, else none.
QObject* ApplicationWindow();

/// Sends a message to the application's window and returns once it has been handled.
LRESULT SendApplicationMessage(unsigned message, WPARAM wParam = 0, LPARAM lParam = 0);
/// Queues a message for the application's window.
void PostApplicationMessage(unsigned message, WPARAM wParam = 0, LPARAM lParam = 0);

/// A hook on the application's window for the lifetime of the object. The hook returns true to
/// end the message's handling there.
class ApplicationHook {
public:
    using Function = std::function<bool(TMessage&)>;

    explicit ApplicationHook(Function hook);
    ~ApplicationHook();
    ApplicationHook(const ApplicationHook&) = delete;
    ApplicationHook& operator=(const ApplicationHook&) = delete;

private:
    int id_;
};

}  // namespace themes
