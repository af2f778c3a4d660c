#pragma once
// A failed call on a platform object: the result code and its text.

#include <string>

#include "platform/com/HResult.h"
#include "platform/runtime/Exception.h"

class ComError : public Exception {
public:
    /// The message is the thread's error info when set, else the code's standard text.
    explicit ComError(HRESULT code);
    ComError(HRESULT code, std::string message) : Exception(std::move(message)), code_(code) {}
    HRESULT Code() const noexcept { return code_; }

private:
    HRESULT code_;
};

/// Raises ComError when `hr` is a failure code.
inline void OleCheck(HRESULT hr)
{
    if (FAILED(hr)) throw ComError(hr);
}
