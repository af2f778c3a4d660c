// A new e-mail processed by the first matching rule.

#include "engine/EmailProcessor.h"

void TEmailProcessor::ProcessNewMail(const ComPtr<outlook::IOutlookItem>& /*Item*/) {}

void TEmailProcessor::ProcessAutoJobs(const SafeItemPtr& /*SafeItem*/, const RecipientsPtr& /*Recipients*/) {}

bool TEmailProcessor::MatchesJob(const SafeItemPtr& /*SafeItem*/, const RecipientsPtr& /*Recipients*/,
                                 const TJobOptions& /*Job*/)
{
    return false;
}

bool TEmailProcessor::RecipientsMatchMaskList(const RecipientsPtr& /*Recipients*/, const std::string& /*MaskList*/)
{
    return false;
}
