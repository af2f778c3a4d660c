#include "platform/com/ComError.h"

#include "platform/com/ErrorInfo.h"

namespace {

std::string MessageFor(HRESULT code)
{
    if (auto info = GetErrorInfo(); info && !info->description.empty()) return info->description;
    return HResultMessage(code);
}

}  // namespace

ComError::ComError(HRESULT code) : Exception(MessageFor(code)), code_(code) {}
