#pragma once
// The folders of the platform that the Windows shell would name: the user's private
// temporary folder, the "Windows" folder, the home folder, and the file of the module
// (program or shared library) that holds a piece of code.

#include <string>

namespace shell {

/// The user's private temporary folder, ${TMPDIR:-/tmp}/trovanta-<uid>, without a trailing
/// "/". See PrivateTempDirIn.
std::string PrivateTempDir();

/// "trovanta-<uid>" in `parent`: created with mode 0700 when missing. An existing one must
/// be a real folder (no symbolic link) owned by this user; a wrong mode of our own folder is
/// set back to 0700. Raises Exception when the folder belongs to someone else or is no
/// folder, EOSError when it cannot be created or checked.
std::string PrivateTempDirIn(const std::string& parent);

/// The "Windows" folder: the Trovanta home (see platform/runtime/Paths.h), created when
/// missing, without a trailing "/".
std::string WindowsDir();

/// The user's home folder: $HOME, else the password database's entry.
std::string HomeDir();

/// Full path of the program or shared library that contains `address` (code or data);
/// defaults to this library's own module. Raises EOSError when it cannot be found.
std::string ModuleFileName(const void* address = nullptr);

}  // namespace shell
