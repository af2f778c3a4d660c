#pragma once
// Where the export and the save-attachments actions put a file: an expanded mask made into a
// relative path below the action's destination folder.

#include <string>

#include "engine/MaskExpansion.h"

/// The expanded mask cleaned part by part and turned into a "/"-separated relative path.
/// A mask that expands to nothing (such as "[FE]" for an attachment without a name) gives
/// "NA", so that a file never takes the destination folder's own path.
inline std::string MaskFilePath(const std::string& ExpandedMask)
{
    const std::string clean = CleanFilePath(ExpandedMask);
    return MaskPathToFileSystem(clean.empty() ? std::string(EmptyFileNamePart) : clean);
}
