// Delete an e-mail.

#include "engine/EmailProcessor.h"

void TEmailProcessor::DeleteEmail(const SafeItemPtr& SafeItem, const TOptions_DeleteEmails& Part)
{
    FAction = actions::DeletingEmail;
    DoProgress();
    const bool hasAtt = SafeItem->Attachments()->Count() > 0;
    if (!((Part.DeleteWithoutAtt && !hasAtt) || (Part.DeleteWithAtt && hasAtt))) return;
    SafeItem->Delete();
    ++FEmailsDeleted;
}
