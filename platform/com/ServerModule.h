#pragma once
// What a server library's four entry points do, from a table of its classes:
//
//   ServerModule& Module() { static ServerModule module({{kClsid, "Lib.Class", "Text", Create}}); ... }
//   TROVANTA_SERVER_ENTRY_POINTS(Module)
//
// The module counts the library's live objects and server locks; `DllCanUnloadNow` answers
// S_OK only when both are zero, so the library is never unloaded under a living object.

#include <atomic>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/com/ClassFactory.h"

class ServerModule;

/// Holds the module for as long as it lives (an object, a lock, a factory).
class ModuleLock {
public:
    explicit ModuleLock(ServerModule& module);
    ModuleLock(const ModuleLock& other);
    ModuleLock& operator=(const ModuleLock&) = delete;
    ~ModuleLock();

private:
    ServerModule& module_;
};

/// An object of type T that keeps its server module loaded while it lives. The lock is
/// the first base, so it is released after T's destructor has run.
template <class T>
class ModuleObject final : private ModuleLock, public T {
public:
    template <class... Args>
    explicit ModuleObject(ServerModule& module, Args&&... args)
        : ModuleLock(module), T(std::forward<Args>(args)...)
    {
    }
};

/// One class a server library offers.
struct ServerClass {
    CLSID clsid;
    std::string progID;
    std::string description;
    /// Creates a new object; the object should hold the module (see `ServerModule::Make`).
    std::function<ComPtr<IUnknown>(ServerModule&)> create;
};

/// What a library registers beyond its classes: called with the library's path after its
/// classes were registered (true) or removed (false).
using RegistrationExtra = std::function<void(const std::string& libraryPath, bool registered)>;

class ServerModule {
public:
    explicit ServerModule(std::vector<ServerClass> classes, RegistrationExtra extra = {})
        : classes_(std::move(classes)), extra_(std::move(extra))
    {
    }
    ServerModule(const ServerModule&) = delete;
    ServerModule& operator=(const ServerModule&) = delete;

    /// DllGetClassObject: the class factory of `clsid`, CLASS_E_CLASSNOTAVAILABLE for a
    /// class this library does not offer.
    HRESULT GetClassObject(const CLSID& clsid, const IID& riid, void** object) noexcept;
    /// DllCanUnloadNow: S_OK when no object and no lock is alive, else S_FALSE.
    HRESULT CanUnloadNow() const noexcept;
    /// DllRegisterServer: writes every class under HKEY_CLASSES_ROOT with the path of the
    /// library that holds `addressInLibrary` as its InprocServer32. E_FAIL on failure, with
    /// the reason in the thread's error info.
    HRESULT RegisterServer(const void* addressInLibrary) const noexcept;
    /// DllUnregisterServer: removes the keys that RegisterServer wrote (the extra's too).
    HRESULT UnregisterServer(const void* addressInLibrary) const noexcept;

    /// Creates an object of this library that holds the module while it lives.
    template <class T, class... Args>
    ComPtr<T> Make(Args&&... args)
    {
        return MakeCom<ModuleObject<T>>(*this, std::forward<Args>(args)...);
    }

    /// The same, as its IUnknown (for a class with several interfaces, where the
    /// conversion would be ambiguous).
    template <class T, class... Args>
    ComPtr<IUnknown> MakeUnknown(Args&&... args)
    {
        return Make<T>(std::forward<Args>(args)...).template As<IUnknown>();
    }

    const std::vector<ServerClass>& Classes() const { return classes_; }
    void Lock() noexcept { ++locks_; }
    void Unlock() noexcept { --locks_; }
    long LockCount() const noexcept { return locks_; }

private:
    std::vector<ServerClass> classes_;
    RegistrationExtra extra_;
    std::atomic<long> locks_{0};
};

/// Defines the four exported entry points of a server library over the module that
/// `moduleFunction()` returns.
#define TROVANTA_SERVER_ENTRY_POINTS(moduleFunction)                                                     \
    TROVANTA_SERVER_EXPORT HRESULT DllGetClassObject(const CLSID& clsid, const IID& riid, void** object) \
    {                                                                                                    \
        return moduleFunction().GetClassObject(clsid, riid, object);                                     \
    }                                                                                                    \
    TROVANTA_SERVER_EXPORT HRESULT DllCanUnloadNow()                                                     \
    {                                                                                                    \
        return moduleFunction().CanUnloadNow();                                                          \
    }                                                                                                    \
    TROVANTA_SERVER_EXPORT HRESULT DllRegisterServer()                                                   \
    {                                                                                                    \
        return moduleFunction().RegisterServer(reinterpret_cast<const void*>(&DllRegisterServer));       \
    }                                                                                                    \
    TROVANTA_SERVER_EXPORT HRESULT DllUnregisterServer()                                                 \
    {                                                                                                    \
        return moduleFunction().UnregisterServer(reinterpret_cast<const void*>(&DllUnregisterServer));   \
    }
