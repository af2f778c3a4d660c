#pragma once
// Internal to the runtime: the cache of loaded server libraries.

#include <string>

#include "platform/com/ClassFactory.h"

namespace com_internal {

/// DllGetClassObject of the library at `path`, loading it on first use. Returns
/// CO_E_DLLNOTFOUND or CO_E_ERRORINDLL (with the reason as error info) on failure.
HRESULT ClassObjectEntry(const std::string& path, DllGetClassObjectFn* entry) noexcept;

/// Makes sure the cache exists, so that objects that are destroyed at process exit
/// (held by the running-object table) go before their libraries.
void TouchLibraryCache() noexcept;

}  // namespace com_internal
