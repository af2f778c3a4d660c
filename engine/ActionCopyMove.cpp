// Copy and move to a folder of the mail store.

#include "engine/EmailProcessor.h"

#include "engine/OutlookTools.h"
#include "platform/com/ComError.h"

TEmailProcessor::FolderPtr TEmailProcessor::GetDestFolder(const TOptions_CopyMove& Part)
{
    // The expanded mask is a folder path of the store, not of the file system: it is not
    // cleaned as a file path.
    const std::string subPath = ExpandMask(Part.Mask, "");
    if (!FApplication) throw ComError(E_POINTER);
    const FolderPtr root = FApplication->GetNamespace("MAPI")->GetFolderFromID(Part.Entry, Part.Store);
    if (!root) throw ComError(E_FAIL);
    return ForceFolderPath(root, subPath);
}

void TEmailProcessor::CopyToFolder(const SafeItemPtr& SafeItem, const TOptions_CopyMove& Part)
{
    FAction = actions::CopyingToFolder;
    DoProgress();
    const FolderPtr destination = GetDestFolder(Part);
    const ComPtr<outlook::IOutlookItem> copy = SafeItem->Copy();
    try {
        copy->Move(destination);
    } catch (...) {
        // The copy lies in the source folder until it is moved; left there, the walk would
        // meet a duplicate, and every later run another one.
        try {
            copy->Delete();
        } catch (...) {
        }
        throw;
    }
    ++FEmailsCopied;
}

void TEmailProcessor::MoveToFolder(const SafeItemPtr& SafeItem, const TOptions_CopyMove& Part)
{
    FAction = actions::MovingToFolder;
    DoProgress();
    const FolderPtr destination = GetDestFolder(Part);
    SafeItem->Move(destination);
    ++FEmailsMoved;
}
