// Copy and move to a folder of the mail store.

#include "engine/EmailProcessor.h"

TEmailProcessor::FolderPtr TEmailProcessor::GetDestFolder(const TOptions_CopyMove& /*Part*/) { return {}; }

void TEmailProcessor::CopyToFolder(const SafeItemPtr& /*SafeItem*/, const TOptions_CopyMove& /*Part*/) {}

void TEmailProcessor::MoveToFolder(const SafeItemPtr& /*SafeItem*/, const TOptions_CopyMove& /*Part*/) {}
