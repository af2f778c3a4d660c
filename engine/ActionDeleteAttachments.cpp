// Delete attachments from an e-mail.

#include "engine/EmailProcessor.h"

void TEmailProcessor::DeleteAttachments(const SafeItemPtr& SafeItem, const TOptions_DeleteAttachments& Part)
{
    FAction = actions::DeletingAttachments;
    DoProgress();
    const ComPtr<outlook::IAttachments> attachments = SafeItem->Attachments();
    std::int32_t deleted = 0;
    // From the last to the first, so a deletion does not move the ones still to come.
    for (int i = attachments->Count(); i >= 1; --i) {
        const ComPtr<outlook::IAttachment> attachment = attachments->Item(i);
        if (!PassesInclExcl(attachment->Filename(), Part.AttIncl(), Part.AttExcl())) continue;
        attachment->Delete();
        ++deleted;
    }
    if (deleted == 0) return;
    // Writing the subject back marks the item changed before it is saved.
    SafeItem->SetSubject(SafeItem->Subject());
    SafeItem->Save();
    ++FDeleteAffected;
    FAttsDeleted += deleted;
}
