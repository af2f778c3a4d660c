#pragma once
// Class factories and the entry points of an in-process server library.

#include <cstdint>

#include "platform/com/Unknown.h"

struct IClassFactory : IUnknown {
    static constexpr IID iid = MakeGuid("{00000001-0000-0000-C000-000000000046}");
    using Base = IUnknown;
    /// CLASS_E_NOAGGREGATION when `outer` is given.
    virtual HRESULT CreateInstance(IUnknown* outer, const IID& riid, void** object) = 0;
    /// Keeps the server library loaded while locked.
    virtual HRESULT LockServer(bool lock) = 0;
};

/// The four entry points a server library exports with C linkage.
using DllGetClassObjectFn = HRESULT (*)(const CLSID& clsid, const IID& riid, void** object);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();

/// Marks a server library's entry point for export; everything else in such a library is
/// hidden (see trovanta_server_library in cmake/Trovanta.cmake).
#define TROVANTA_SERVER_EXPORT extern "C" __attribute__((visibility("default")))
