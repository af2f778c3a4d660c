#include "platform/com/HResult.h"
#include <fmt/format.h>
std::string HResultMessage(HRESULT hr) { return fmt::format("Unspecified error (0x{:08X})", static_cast<unsigned>(hr)); }
