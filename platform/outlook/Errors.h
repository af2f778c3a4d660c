#pragma once
// How the object model reports a failed call: ComError with E_FAIL and a text; a message
// whose file is gone (another program deleted it) with kMessageGone, so that callers can tell
// an item that is no more from one that cannot be read.

#include <string>

#include "platform/com/ComError.h"

namespace outlook {

/// The code of the error for a message that is no longer in its folder.
inline constexpr HRESULT kMessageGone = MakeHResult(0x8004010A);

[[noreturn]] inline void Fail(const std::string& text)
{
    throw ComError(E_FAIL, text);
}

/// Whether `error` says that the item's message is no longer in its folder.
inline bool IsMessageGone(const ComError& error)
{
    return error.Code() == kMessageGone;
}

}  // namespace outlook
