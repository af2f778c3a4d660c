// Mark an e-mail read or unread.

#include "engine/EmailProcessor.h"

void TEmailProcessor::MarkReadUnread(const SafeItemPtr& SafeItem, const TOptions_ReadUnread& Part)
{
    FAction = actions::MarkingReadUnread;
    DoProgress();
    const bool unread = SafeItem->Unread();
    const bool change = (Part.Mode == 2 && !unread) || (Part.Mode == 1 && unread);
    if (!change) return;  // already in the wanted state: neither saved nor counted
    SafeItem->SetUnread(!unread);
    SafeItem->Save();
    ++FEmailsMarked;
}
