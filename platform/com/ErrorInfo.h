#pragma once
// Per-thread error information: the text that a server sets before it returns a failure
// code, so that the caller's ComError carries the server's message instead of the code's
// standard text.

#include <optional>
#include <string>

struct ErrorInfo {
    std::string description;
    std::string source;    ///< the ProgID of the object that failed, when known
    std::string helpFile;  ///< the help file that explains the error, when any
};

/// Sets the calling thread's error information, replacing what was there.
void SetErrorInfo(ErrorInfo info);
/// Clears the calling thread's error information.
void ClearErrorInfo();
/// Takes the calling thread's error information: returns it and clears it.
std::optional<ErrorInfo> GetErrorInfo();
