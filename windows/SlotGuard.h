#pragma once
// What a window does with an error that reaches the user's action (a click): the message is
// shown in a message box titled with the product name, the silent abort is dropped, and
// nothing escapes into Qt's event loop.

#include <exception>
#include <utility>

class QWidget;

/// Shows the exception Error as the standard display of an unhandled error does; EAbort
/// ("User break.") is not shown.
void ShowException(QWidget* Parent, const std::exception_ptr& Error) noexcept;

/// Runs Action; an exception it raises is shown with ShowException. False when it raised.
template <class Action>
bool Guarded(QWidget* Parent, Action&& action) noexcept
{
    try {
        std::forward<Action>(action)();
        return true;
    } catch (...) {
        ShowException(Parent, std::current_exception());
        return false;
    }
}
