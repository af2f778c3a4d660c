// Reimport the original files in place of shortcut attachments.

#include "engine/EmailProcessor.h"

#include "engine/SendCapture.h"
#include "jobs/DM_Global.h"

void TEmailProcessor::ReimportAttachments(const SafeItemPtr& SafeItem)
{
    FAction = actions::ReimportingAttachments;
    DoProgress();

    TBatchShortcutPrompts silent;
    TSendCapture capture(FShortcutPrompts ? *FShortcutPrompts : silent);
    capture.Options().Clear();
    // The batch program replaces only where the file exists and never asks; interactively
    // every shortcut is replaced, and a missing file is asked about.
    capture.Options().ReplaceMode = (FDMGlobal && FDMGlobal->BatchMode) ? 3 : 1;
    capture.SearchPaths().LoadFromFile(SearchPathFilePath());
    capture.TrustedFolders() = SavedFolders();
    capture.OnShortcutRefused = [this](const std::string& Msg) { DoItemError(Msg); };

    const ComPtr<outlook::IAttachments> attachments = SafeItem->Attachments();
    std::int32_t reimported = 0;
    std::int32_t skipped = 0;
    for (int i = attachments->Count(); i >= 1; --i) {
        // Every attachment that gets no original file back counts as skipped, ordinary
        // attachments included.
        if (capture.ReplaceShortcut(attachments, i, true, false)) {
            ++reimported;
        } else {
            ++skipped;
        }
    }
    if (reimported > 0) {
        SafeItem->SetSubject(SafeItem->Subject());
        SafeItem->Save();
    }
    FAttsReimported += reimported;
    FAttsSkipped += skipped;
    if (reimported > 0 || skipped > 0) ++FReimportAffected;
}

const TTrustedFolders& TEmailProcessor::SavedFolders()
{
    if (!FSavedFolders) {
        FSavedFolders = LoadSavedFolders();
        FSavedFolders->Add(FManualOptions->SaveAttachments().DestPath);
    }
    return *FSavedFolders;
}
