#include "platform/com/ClassRegistry.h"

#include <dlfcn.h>

#include <filesystem>
#include <memory>

#include "platform/com/ErrorInfo.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Registry.h"

namespace {

std::string ClassKey(const CLSID& clsid) { return "\\CLSID\\" + clsid.ToString(); }
std::string ProgIDKey(const std::string& progID) { return "\\" + progID; }

/// HKEY_CLASSES_ROOT of TrovantaHome() for lookups. Each thread keeps one registry, so that
/// creating an object does not parse the hive file again: the hive is re-read only when the
/// file changed on disk, and a new registry is taken when the home folder changed.
TRegistry& ClassesRootForReading()
{
    struct Cached {
        std::filesystem::path home;
        std::unique_ptr<TRegistry> reg;
    };
    thread_local Cached cached;
    std::filesystem::path home = TrovantaHome();
    if (!cached.reg || cached.home != home) {
        cached.reg = std::make_unique<TRegistry>(home);
        cached.reg->SetRootKey(HKEY_CLASSES_ROOT);
        cached.home = std::move(home);
    }
    return *cached.reg;
}

/// The default value of `key` in HKEY_CLASSES_ROOT; nullopt when the key is missing.
std::optional<std::string> ReadDefault(TRegistry& reg, const std::string& key)
{
    if (!reg.OpenKeyReadOnly(key)) return std::nullopt;
    std::string value = reg.ReadString("");
    reg.CloseKey();
    return value;
}

void WriteDefault(TRegistry& reg, const std::string& key, const std::string& value)
{
    reg.OpenKey(key, true);
    reg.WriteString("", value);
    reg.CloseKey();
}

/// Runs `body` and turns an exception into a failure code with the reason as error info.
template <class F>
HRESULT Guarded(F&& body) noexcept
{
    try {
        return body();
    } catch (const std::exception& e) {
        SetErrorInfo({e.what(), {}, {}});
        return E_FAIL;
    }
}

}  // namespace

std::string LibraryPathOf(const void* address)
{
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname || !*info.dli_fname)
        throw Exception("The server library that holds the entry point cannot be found");
    return std::filesystem::absolute(info.dli_fname).lexically_normal().string();
}

void RegisterInprocServer(const CLSID& clsid, const std::string& progID, const std::string& description,
                          const std::string& libraryPath)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    TRegistryTransaction transaction(reg);
    const std::string classKey = ClassKey(clsid);
    WriteDefault(reg, classKey, description);
    WriteDefault(reg, classKey + "\\InprocServer32", libraryPath);
    reg.OpenKey(classKey + "\\InprocServer32", false);
    reg.WriteString("ThreadingModel", "Apartment");
    reg.CloseKey();
    if (!progID.empty()) {
        WriteDefault(reg, classKey + "\\ProgID", progID);
        WriteDefault(reg, ProgIDKey(progID), description);
        WriteDefault(reg, ProgIDKey(progID) + "\\CLSID", clsid.ToString());
    }
    transaction.Commit();
}

void UnregisterInprocServer(const CLSID& clsid, const std::string& progID)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    TRegistryTransaction transaction(reg);
    reg.DeleteKey(ClassKey(clsid));
    if (!progID.empty()) {
        const auto named = ReadDefault(reg, ProgIDKey(progID) + "\\CLSID");
        if (named && GUID::Parse(*named) == clsid) reg.DeleteKey(ProgIDKey(progID));
    }
    transaction.Commit();
}

HRESULT CLSIDFromProgID(const std::string& progID, CLSID* clsid) noexcept
{
    if (!clsid) return E_POINTER;
    *clsid = GUID_NULL;
    // An empty name or one with a key separator would address another key.
    if (progID.empty() || progID.find('\\') != std::string::npos) return CO_E_CLASSSTRING;
    return Guarded([&] {
        const auto text = ReadDefault(ClassesRootForReading(), ProgIDKey(progID) + "\\CLSID");
        if (!text) return REGDB_E_CLASSNOTREG;
        const auto parsed = GUID::Parse(*text);
        if (!parsed) return CO_E_CLASSSTRING;
        *clsid = *parsed;
        return S_OK;
    });
}

HRESULT CLSIDFromString(const std::string& text, CLSID* clsid) noexcept
{
    if (!clsid) return E_POINTER;
    if (!text.empty() && text.front() == '{') {
        const auto parsed = GUID::Parse(text);
        *clsid = parsed.value_or(GUID_NULL);
        return parsed ? S_OK : CO_E_CLASSSTRING;
    }
    return CLSIDFromProgID(text, clsid);
}

HRESULT ProgIDFromCLSID(const CLSID& clsid, std::string* progID) noexcept
{
    if (!progID) return E_POINTER;
    progID->clear();
    return Guarded([&] {
        const auto text = ReadDefault(ClassesRootForReading(), ClassKey(clsid) + "\\ProgID");
        if (!text || text->empty()) return REGDB_E_CLASSNOTREG;
        *progID = *text;
        return S_OK;
    });
}

std::optional<std::string> InprocServerPath(const CLSID& clsid)
{
    auto path = ReadDefault(ClassesRootForReading(), ClassKey(clsid) + "\\InprocServer32");
    if (path && path->empty()) return std::nullopt;
    return path;
}
