// Mark an e-mail read or unread.

#include "engine/EmailProcessor.h"

void TEmailProcessor::MarkReadUnread(const SafeItemPtr& /*SafeItem*/, const TOptions_ReadUnread& /*Part*/) {}
