// Reimport the original files in place of shortcut attachments.

#include "engine/EmailProcessor.h"

void TEmailProcessor::ReimportAttachments(const SafeItemPtr& /*SafeItem*/) {}
