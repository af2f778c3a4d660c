#include "platform/runtime/Paths.h"

#include "platform/runtime/Exception.h"

#include <glib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

namespace fs = std::filesystem;

namespace {

fs::path EnvPath(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? fs::path(value) : fs::path();
}

/// Creates `folder` and any missing parents, each new one private to the user.
void CreatePrivateFolder(const fs::path& folder)
{
    if (folder.empty() || fs::is_directory(folder)) return;
    if (folder.has_parent_path() && folder.parent_path() != folder) CreatePrivateFolder(folder.parent_path());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) RaiseLastOSError(folder.string());
}

}  // namespace

fs::path TrovantaHome()
{
    fs::path home = EnvPath("TROVANTA_HOME");
    if (home.empty()) {
        fs::path config = EnvPath("XDG_CONFIG_HOME");
        if (config.empty()) {
            fs::path userHome = EnvPath("HOME");
            if (userHome.empty()) userHome = g_get_home_dir();  // from the password database
            config = userHome / ".config";
        }
        home = config / "trovanta";
    }
    CreatePrivateFolder(home);
    return home;
}
