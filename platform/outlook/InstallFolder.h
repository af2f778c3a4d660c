#pragma once
// Where the installed system keeps its data (help, examples), as the object model's registration
// records it: "InstallDir" under HKEY_CURRENT_USER\Software\VONT-Software\Trovanta.

#include <string>

class TRegistry;

namespace outlook {

/// The data folder of the installation that holds the library `libraryPath` (share/trovanta of
/// the prefix whose lib/trovanta holds it), or "" when there is none, as for a library of the
/// build folder.
std::string InstallFolderOf(const std::string& libraryPath);

/// After registering (`registered`) the library `libraryPath`: "InstallDir" names its
/// installation; a library outside an installation leaves the value alone. After
/// unregistering: the value is removed when it names the library's installation.
void RecordInstallDir(TRegistry& registry, const std::string& libraryPath, bool registered);

}  // namespace outlook
