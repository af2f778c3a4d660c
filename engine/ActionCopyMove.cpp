// Copy and move to a folder of the mail store.

#include "engine/EmailProcessor.h"

#include "engine/OutlookTools.h"
#include "platform/com/ComError.h"

namespace {

/// An item's Delete moves it into "Deleted Items", where the same object deletes it for good;
/// an item that lay there already is gone after the first call. Errors are dropped: this cleans
/// up after a failure that is reported itself.
void DeleteForGood(const ComPtr<outlook::IOutlookItem>& Item)
{
    for (int call = 0; call < 2; ++call) {
        try {
            Item->Delete();
        } catch (...) {
            return;
        }
    }
}

}  // namespace

TEmailProcessor::FolderPtr TEmailProcessor::GetDestFolder(const TOptions_CopyMove& Part)
{
    // The expanded mask is a folder path of the store, not of the file system: it is not
    // cleaned as a file path.
    const std::string subPath = ExpandMask(Part.Mask, "");
    // Found once per run: a job puts many e-mails into the same folders (a folder that
    // another program removes meanwhile gets its directories again when an e-mail arrives).
    std::string key = Part.Store + '\n' + Part.Entry + '\n' + subPath;
    if (const auto known = FDestFolders.find(key); known != FDestFolders.end()) return known->second;
    if (!FApplication) throw ComError(E_POINTER);
    const FolderPtr root = FApplication->GetNamespace("MAPI")->GetFolderFromID(Part.Entry, Part.Store);
    if (!root) throw ComError(E_FAIL);
    FolderPtr folder = ForceFolderPath(root, subPath);
    FDestFolders.emplace(std::move(key), folder);
    return folder;
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
        // meet a duplicate, and every later run another one. It is no e-mail of the user's:
        // removed for good, it adds nothing to "Deleted Items" either.
        DeleteForGood(copy);
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
