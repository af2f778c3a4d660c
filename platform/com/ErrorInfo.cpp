#include "platform/com/ErrorInfo.h"

#include <utility>

namespace {
thread_local std::optional<ErrorInfo> tCurrentError;
}

void SetErrorInfo(ErrorInfo info) { tCurrentError = std::move(info); }

void ClearErrorInfo() { tCurrentError.reset(); }

std::optional<ErrorInfo> GetErrorInfo() { return std::exchange(tCurrentError, std::nullopt); }
