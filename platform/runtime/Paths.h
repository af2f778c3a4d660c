#pragma once
// Folders of the platform.

#include <filesystem>

/// The folder of the registry, the "Windows folder" and the help: $TROVANTA_HOME when set, else
/// ${XDG_CONFIG_HOME:-$HOME/.config}/trovanta. Created (mode 0700) when missing; raises EOSError
/// when it cannot be created.
std::filesystem::path TrovantaHome();
