#include "platform/qelutils/CurrentUser.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/com/ComError.h"

namespace qelutils {

std::string FullNameFromGecos(std::string_view gecos, std::string_view login)
{
    std::string_view name = gecos.substr(0, gecos.find(','));
    const auto first = name.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::string(login);
    name = name.substr(first, name.find_last_not_of(" \t") - first + 1);
    return std::string(name);
}

std::string CurrentUserName()
{
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return FullNameFromGecos(found->pw_gecos ? found->pw_gecos : "", found->pw_name);
    if (const char* user = std::getenv("USER"); user && *user) return user;
    throw ComError(E_FAIL, "The current user has no entry in the account database");
}

}  // namespace qelutils
