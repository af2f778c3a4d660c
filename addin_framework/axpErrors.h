#pragma once
// The errors the add-in framework raises: an Exception that carries the framework's own
// error number beside its message.

#include <string>

#include "platform/runtime/Exception.h"

/// An error of the framework; `ErrorCode` is one of the numbers below.
class EaxpError : public Exception {
public:
    EaxpError(int ErrorCode, std::string Message) : Exception(std::move(Message)), FErrorCode(ErrorCode) {}
    int ErrorCode() const noexcept { return FErrorCode; }

private:
    int FErrorCode;
};

inline constexpr int axpErrHostNotSupported = 31101;
inline constexpr int axpErrCommandBarNotFound = 31102;
inline constexpr int axpErrIllegalBarName = 31103;
inline constexpr int axpErrUnregisterControls = 31104;
inline constexpr int axpErrMapPoint = 31106;
inline constexpr int axpErrRegistrationCanceled = 31108;

/// "Add-in %s initialization is failed. This Add-in doesn't support this application."
[[noreturn]] void RaiseHostNotSupported(const std::string& FriendlyName);
/// "Control %s initialization is failed. Can not find the %s Command Bar."
[[noreturn]] void RaiseCommandBarNotFound(const std::string& Caption, const std::string& BarName);
/// "Illegal character in the %s commandbar name."
[[noreturn]] void RaiseIllegalBarName(const std::string& Name);
/// "Can't unregister add-in controls."
[[noreturn]] void RaiseUnregisterControls();
/// "Cannot add a control to MS MapPoint."
[[noreturn]] void RaiseMapPoint();
/// "The registration process has been canceled."
[[noreturn]] void RaiseRegistrationCanceled();
