#pragma once
// The object runtime: per-thread initialisation, creating objects of in-process server
// libraries by class or ProgID, unloading libraries no longer used, and the running-object
// table. Functions named as the Windows calls return codes; the templates at the end
// raise ComError for the system's code, which calls objects late-bound and expects errors.

#include <cstdint>
#include <string>

#include "platform/com/ClassFactory.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ComError.h"
#include "platform/com/Unknown.h"

/// Counts per thread: S_OK for the first call on a thread, S_FALSE for each further one.
/// Objects can be created without it; the count tells the last CoUninitialize.
HRESULT CoInitialize(void* reserved = nullptr) noexcept;
/// Undoes one CoInitialize; the thread's last one also unloads the server libraries
/// that are no longer used.
void CoUninitialize() noexcept;
/// How many CoInitialize calls of this thread are not yet undone.
int CoInitializeCount() noexcept;

inline constexpr std::uint32_t CLSCTX_INPROC_SERVER = 0x1;
inline constexpr std::uint32_t CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr std::uint32_t CLSCTX_ALL = 0x17;

/// The class factory (or another interface of the class object) of a registered class.
/// The server library named by its InprocServer32 key is loaded once per process.
/// REGDB_E_CLASSNOTREG for a class without that key, CO_E_DLLNOTFOUND when the library
/// does not load, CO_E_ERRORINDLL when it lacks DllGetClassObject.
HRESULT CoGetClassObject(const CLSID& clsid, std::uint32_t context, void* reserved, const IID& riid,
                         void** object) noexcept;
/// A new object of a registered class through its class factory.
HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, std::uint32_t context, const IID& riid,
                         void** object) noexcept;
/// Asks every loaded server library's DllCanUnloadNow and unloads those that answer S_OK.
void CoFreeUnusedLibraries() noexcept;

/// The running-object table: one active object per class for the whole process. The
/// table holds a reference until the registration is revoked.
inline constexpr std::uint32_t ACTIVEOBJECT_STRONG = 0;
HRESULT RegisterActiveObject(IUnknown* object, const CLSID& clsid, std::uint32_t flags,
                             std::uint32_t* cookie) noexcept;
/// E_INVALIDARG for an unknown cookie.
HRESULT RevokeActiveObject(std::uint32_t cookie, void* reserved = nullptr) noexcept;
/// MK_E_UNAVAILABLE when no object of the class is registered.
HRESULT GetActiveObject(const CLSID& clsid, void* reserved, IUnknown** object) noexcept;

/// The class of a ProgID (or of a braced class identifier); raises ComError.
CLSID ProgIDToClassID(const std::string& progID);

/// A new object of `clsid` as interface T; raises ComError.
template <class T>
ComPtr<T> CreateComObject(const CLSID& clsid)
{
    ComPtr<T> object;
    OleCheck(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, T::iid, object.PutVoid()));
    return object;
}

/// A new object of the class registered for `progID` as interface T; raises ComError
/// ("Class not registered" when the ProgID or its server is not registered).
template <class T>
ComPtr<T> CreateOleObject(const std::string& progID)
{
    return CreateComObject<T>(ProgIDToClassID(progID));
}

/// The running object of `progID` as interface T; empty when none runs. Raises ComError
/// when the ProgID is not registered or the object lacks T.
template <class T>
ComPtr<T> GetActiveOleObject(const std::string& progID)
{
    ComPtr<IUnknown> unknown;
    const HRESULT hr = GetActiveObject(ProgIDToClassID(progID), nullptr, unknown.Put());
    if (hr == MK_E_UNAVAILABLE) return {};
    OleCheck(hr);
    ComPtr<T> object;
    OleCheck(unknown->QueryInterface(T::iid, object.PutVoid()));
    return object;
}
