#pragma once
// The exception family of the system. Every failure travels as an Exception carrying
// the message text that a user or the console sees.

#include <stdexcept>
#include <string>

/// Base of every error the system raises; `Message()` is the text shown to the user.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

/// The silent abort: a user cancel. Its text is "User break."; it is never shown.
class EAbort : public Exception {
public:
    EAbort() : Exception("User break.") {}
};

/// A failed operating-system call: the errno value and the system's text for it.
class EOSError : public Exception {
public:
    /// `context` (a path or the call) is put before the system's text when given.
    explicit EOSError(int errorCode, const std::string& context = {});
    int ErrorCode() const noexcept { return errorCode_; }

private:
    int errorCode_;
};

/// A text that is not a number, a date or another value it should be.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

/// An index outside a list.
class EListError : public Exception {
public:
    using Exception::Exception;
};

/// A registry key or value that cannot be read or written.
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

/// An INI (profile) file that cannot be written.
class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

/// Raises EAbort.
[[noreturn]] inline void Abort() { throw EAbort(); }

/// Raises EOSError for the current errno.
[[noreturn]] void RaiseLastOSError(const std::string& context = {});
