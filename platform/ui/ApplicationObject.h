#pragma once
// The application object of a module (a program or an add-in library): the window that owns
// the module's windows and message boxes while it runs inside a host, and the icon, title,
// help file and hint pause its windows show. Each module that links this library has its own,
// as each library of the original platform had its own application object.

#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <string>

namespace ui {

class ApplicationObject {
public:
    /// The owner of message boxes and windows opened without a parent; nullptr for none.
    QWidget* Handle() const { return handle_; }
    void SetHandle(QWidget* window) { handle_ = window; }

    QIcon Icon;
    std::string Title;
    std::string HelpFile;
    /// How long a hint stays shown, in milliseconds.
    int HintHidePause = 2500;

private:
    QPointer<QWidget> handle_;  // a window that closes leaves no dangling owner
};

/// This module's application object.
ApplicationObject& Application();

/// The icon this module's windows show: the application object's, else the program's (null
/// when neither has one).
QIcon ApplicationIcon();

/// Makes `window` the application object's window handle while the guard lives and sets it
/// back to none afterwards, also when the guarded code fails: the pattern of every window
/// that runs inside the mail client or its options dialog.
class ApplicationHandleGuard {
public:
    explicit ApplicationHandleGuard(QWidget* window) { Application().SetHandle(window); }
    ~ApplicationHandleGuard() { Application().SetHandle(nullptr); }
    ApplicationHandleGuard(const ApplicationHandleGuard&) = delete;
    ApplicationHandleGuard& operator=(const ApplicationHandleGuard&) = delete;
};

/// `parent` when given, else the application object's window handle: the owner a message
/// box or dialog gets.
inline QWidget* OwnerOf(QWidget* parent)
{
    return parent ? parent : Application().Handle();
}

}  // namespace ui
