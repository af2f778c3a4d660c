#include "platform/runtime/Exception.h"

#include <cerrno>
#include <cstring>

EOSError::EOSError(int errorCode, const std::string& context)
    : Exception(context.empty() ? std::string(std::strerror(errorCode))
                                : context + ": " + std::strerror(errorCode)),
      errorCode_(errorCode)
{
}

void RaiseLastOSError(const std::string& context) { throw EOSError(errno, context); }
