// Delete attachments from an e-mail.

#include "engine/EmailProcessor.h"

void TEmailProcessor::DeleteAttachments(const SafeItemPtr& /*SafeItem*/, const TOptions_DeleteAttachments& /*Part*/)
{
}
