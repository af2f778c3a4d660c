#pragma once
// The current mail user: the name the account database gives the user running the process.

#include <string>
#include <string_view>

#include "platform/qelutils/QELutils.h"

namespace qelutils {

/// The full name of an account: the first comma-separated field of its GECOS text,
/// trimmed; the login name when that is empty.
std::string FullNameFromGecos(std::string_view gecos, std::string_view login);

/// The full name of the user running the process; the login name when the account has
/// none; $USER when the account database has no entry.
std::string CurrentUserName();

class SafeCurrentUser : public ComObject<ISafeCurrentUser> {
public:
    std::string Name() override { return CurrentUserName(); }
    /// Nothing is held between calls, so there is nothing to release.
    void CleanUp() override {}
};

}  // namespace qelutils
