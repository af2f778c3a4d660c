#pragma once
// How the object model reports a failed call: ComError with E_FAIL and a text.

#include <string>

#include "platform/com/ComError.h"

namespace outlook {

[[noreturn]] inline void Fail(const std::string& text) { throw ComError(E_FAIL, text); }

}  // namespace outlook
