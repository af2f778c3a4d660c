#include "platform/shell/KnownFolders.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <glib.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "platform/runtime/Exception.h"
#include "platform/runtime/FileIO.h"
#include "platform/runtime/Paths.h"

namespace shell {
namespace {

std::string EnvValue(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

// Opens `dir` itself (never what a symbolic link points to); raises a clear error for
// anything that is no folder.
UniqueFd OpenOwnFolder(const std::string& dir)
{
    UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd) {
        if (errno == ELOOP || errno == ENOTDIR)
            throw Exception("The temporary folder " + dir + " is not a folder of its own.");
        RaiseLastOSError(dir);
    }
    return fd;
}

std::string ExecutablePath()
{
    std::error_code ec;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) throw EOSError(ec.value(), "/proc/self/exe");
    return path.string();
}

}  // namespace

std::string PrivateTempDirIn(const std::string& parent)
{
    std::string dir = parent;
    if (!dir.ends_with('/')) dir += '/';
    dir += "trovanta-" + std::to_string(::geteuid());
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) RaiseLastOSError(dir);
    const UniqueFd fd = OpenOwnFolder(dir);
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) RaiseLastOSError(dir);
    if (info.st_uid != ::geteuid())
        throw Exception("The temporary folder " + dir + " belongs to another user.");
    if ((info.st_mode & 07777) != 0700 && ::fchmod(fd.Get(), 0700) != 0) RaiseLastOSError(dir);
    return dir;
}

std::string PrivateTempDir()
{
    std::string parent = EnvValue("TMPDIR");
    if (parent.empty()) parent = "/tmp";
    return PrivateTempDirIn(parent);
}

std::string WindowsDir()
{
    std::string dir = TrovantaHome().string();
    while (dir.size() > 1 && dir.ends_with('/')) dir.pop_back();
    return dir;
}

std::string HomeDir()
{
    std::string home = EnvValue("HOME");
    if (home.empty()) home = g_get_home_dir();
    return home;
}

std::string ModuleFileName(const void* address)
{
    if (address == nullptr) address = reinterpret_cast<const void*>(&ModuleFileName);
    Dl_info info{};
    link_map* module = nullptr;
    if (::dladdr1(address, &info, reinterpret_cast<void**>(&module), RTLD_DL_LINKMAP) == 0 ||
        module == nullptr)
        throw EOSError(ENOENT, "no module holds the address");
    // The main program has no name of its own in the loader's list.
    if (module->l_name == nullptr || module->l_name[0] == '\0') return ExecutablePath();
    std::error_code ec;
    const auto path = std::filesystem::canonical(module->l_name, ec);
    return ec ? std::string(module->l_name) : path.string();
}

}  // namespace shell
