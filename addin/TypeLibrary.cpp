#include "addin/TypeLibrary.h"

#include <filesystem>

#include <fmt/format.h>

#include "platform/runtime/Registry.h"

namespace typelib {

namespace {

/// The proxy of dispatch and dual interfaces.
constexpr GUID kDispatchProxy = MakeGuid("{00020420-0000-0000-C000-000000000046}");

struct InterfaceEntry {
    const IID& iid;
    const char* name;
};
constexpr InterfaceEntry kInterfaces[] = {
    {IID_ITrovanta, "ITrovanta"},
    {IID_IQEL_OptionPage, "IQEL_OptionPage"},
    {DIID_IQEL_OptionPageEvents, "IQEL_OptionPageEvents"},
};

std::string VersionText()
{
    return fmt::format("{}.{}", kMajorVersion, kMinorVersion);
}
std::string LibraryKey()
{
    return "\\TypeLib\\" + LIBID_QELaddin.ToString();
}
std::string InterfaceKey(const IID& iid)
{
    return "\\Interface\\" + iid.ToString();
}

void WriteDefault(TRegistry& reg, const std::string& key, const std::string& value)
{
    reg.OpenKey(key, true);
    reg.WriteString("", value);
    reg.CloseKey();
}

void WriteLibrary(TRegistry& reg, const std::string& libraryPath)
{
    const std::string key = LibraryKey() + "\\" + VersionText();
    WriteDefault(reg, key, kHelpString);
    WriteDefault(reg, key + "\\0\\linux", libraryPath);
    WriteDefault(reg, key + "\\FLAGS", "0");
    WriteDefault(reg, key + "\\HELPDIR", std::filesystem::path(libraryPath).parent_path().string());
}

void WriteInterface(TRegistry& reg, const InterfaceEntry& entry)
{
    const std::string key = InterfaceKey(entry.iid);
    WriteDefault(reg, key, entry.name);
    WriteDefault(reg, key + "\\ProxyStubClsid32", kDispatchProxy.ToString());
    WriteDefault(reg, key + "\\TypeLib", LIBID_QELaddin.ToString());
    reg.OpenKey(key + "\\TypeLib", false);
    reg.WriteString("Version", VersionText());
    reg.CloseKey();
}

}  // namespace

void RegisterTypeLibrary(const std::string& libraryPath)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    TRegistryTransaction transaction(reg);
    reg.DeleteKey(LibraryKey());
    WriteLibrary(reg, libraryPath);
    for (const InterfaceEntry& entry : kInterfaces) WriteInterface(reg, entry);
    transaction.Commit();
}

void UnregisterTypeLibrary()
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    TRegistryTransaction transaction(reg);
    for (const InterfaceEntry& entry : kInterfaces) reg.DeleteKey(InterfaceKey(entry.iid));
    reg.DeleteKey(LibraryKey());
    transaction.Commit();
}

void RegisterControlKeys(const CLSID& clsid, std::uint32_t miscStatus)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    TRegistryTransaction transaction(reg);
    const std::string key = "\\CLSID\\" + clsid.ToString();
    WriteDefault(reg, key + "\\TypeLib", LIBID_QELaddin.ToString());
    WriteDefault(reg, key + "\\Version", VersionText());
    WriteDefault(reg, key + "\\Control", "");
    WriteDefault(reg, key + "\\MiscStatus", "0");
    WriteDefault(reg, key + "\\MiscStatus\\1", std::to_string(miscStatus));
    transaction.Commit();
}

}  // namespace typelib
