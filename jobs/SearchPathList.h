#pragma once
// Search paths: where to look for a file whose folder moved. Each line is an original root
// folder, "=", and the new root folder; the first line that yields an existing file wins.

#include <string>

#include "platform/runtime/StringList.h"

/// Name of the search path file in the Windows folder.
inline constexpr const char* SearchPathFileName = "QELRUN.TXT";

class TSearchPathList : public TStringList {
public:
    /// Clears the list, then reads the file's lines when it exists (UTF-8, UTF-16 with a
    /// byte order mark or Windows-1252; CR LF, LF or CR line ends). A missing file is no error.
    void LoadFromFile(const std::string& FileName);

    /// Creates the file's folder where missing and writes every line followed by CR LF,
    /// replacing the file as a whole.
    void SaveToFile(const std::string& FileName) const;

    /// FileName itself when it exists, else FindInSearchPaths.
    bool FindFile(const std::string& FileName, std::string& Found) const;

    /// For each line whose original root (ignoring case) begins FileName's folder, tries the
    /// file below the new root, keeping the rest of the folder. Found holds the last candidate
    /// tried. A line with an empty new root is skipped.
    bool FindInSearchPaths(const std::string& FileName, std::string& Found) const;
};
