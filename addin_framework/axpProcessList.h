#pragma once
// TProcessList: the executable names of the running processes, upper-cased.

#include <filesystem>
#include <string_view>

#include "platform/runtime/StringList.h"

/// Fills itself at creation from the process table (/proc): for each process the base name of
/// its executable in upper case, or "UNKNOWN" for a process whose executable may not be read
/// (one of another user). Processes without an executable of their own (kernel threads) and
/// those that ended meanwhile are left out.
class TProcessList : public TStringList {
public:
    /// `ProcRoot` is the process table to read.
    explicit TProcessList(const std::filesystem::path& ProcRoot = "/proc");

    /// True when an entry equals `ExeName` in upper case; false for an empty name.
    bool Contains(std::string_view ExeName) const;
};
