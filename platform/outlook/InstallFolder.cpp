#include "platform/outlook/InstallFolder.h"

#include <filesystem>
#include <system_error>

#include "platform/runtime/Registry.h"

#ifndef TROVANTA_DATA_FROM_LIBDIR
#define TROVANTA_DATA_FROM_LIBDIR "../../share/trovanta"
#endif

namespace fs = std::filesystem;

namespace outlook {

namespace {
constexpr const char* kProductKey = "\\Software\\VONT-Software\\Trovanta";
constexpr const char* kInstallDirValue = "InstallDir";
}  // namespace

std::string InstallFolderOf(const std::string& libraryPath)
{
    std::error_code error;
    const fs::path data =
        fs::weakly_canonical(fs::path(libraryPath).parent_path() / TROVANTA_DATA_FROM_LIBDIR, error);
    if (error || !fs::is_directory(data, error)) return {};
    return data.string();
}

void RecordInstallDir(TRegistry& registry, const std::string& libraryPath, bool registered)
{
    const std::string folder = InstallFolderOf(libraryPath);
    if (folder.empty()) return;
    registry.SetRootKey(HKEY_CURRENT_USER);
    if (registered) {
        registry.OpenKey(kProductKey, true);
        registry.WriteString(kInstallDirValue, folder);
    } else if (registry.OpenKey(kProductKey, false) && registry.ReadString(kInstallDirValue) == folder) {
        registry.DeleteValue(kInstallDirValue);
    }
    registry.CloseKey();
}

}  // namespace outlook
