// Delete an e-mail.

#include "engine/EmailProcessor.h"

void TEmailProcessor::DeleteEmail(const SafeItemPtr& /*SafeItem*/, const TOptions_DeleteEmails& /*Part*/) {}
