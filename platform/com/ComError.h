#pragma once
// A failed call on a platform object: the result code and its text.

#include <string>

#include "platform/com/ErrorInfo.h"
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

/// For a member that returns a code instead of raising: runs `body`; a ComError becomes its
/// code, any other exception `fallback`, each with its message as the thread's error info
/// (with `source`, the ProgID of the failing object, when given).
template <class F>
HRESULT GuardedCall(F&& body, const char* source = "", HRESULT fallback = E_FAIL) noexcept
{
    try {
        body();
        return S_OK;
    } catch (const ComError& e) {
        SetErrorInfo({e.Message(), source, {}});
        return e.Code();
    } catch (const std::exception& e) {
        SetErrorInfo({e.what(), source, {}});
        return fallback;
    } catch (...) {
        SetErrorInfo({HResultMessage(fallback), source, {}});
        return fallback;
    }
}
