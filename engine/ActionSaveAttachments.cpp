// Save attachments to disk, optionally from attached e-mails too, and afterwards replace
// them by shortcuts or remove them.

#include "engine/EmailProcessor.h"

void TEmailProcessor::SaveAttachments(const SafeItemPtr& /*SafeItem*/, const TOptions_SaveAttachments& /*Part*/) {}

void TEmailProcessor::SaveItemAttachments(const ComPtr<outlook::IOutlookItem>& /*SafeItem*/,
                                          const TOptions_SaveAttachments& /*Part*/, bool /*Recurse*/,
                                          bool /*TopLevel*/, std::int32_t& /*Saved*/, std::int32_t& /*NotSaved*/,
                                          std::int32_t& /*Removed*/, std::int32_t& /*Shortcuts*/, int /*Depth*/)
{
}

bool TEmailProcessor::OpenAttachedMessage(const ComPtr<outlook::IAttachment>& /*Attachment*/,
                                          ComPtr<outlook::IOutlookItem>& /*Item*/)
{
    return false;
}

std::string TEmailProcessor::SaveAttachmentByMask(const ComPtr<outlook::IAttachment>& /*Attachment*/,
                                                  const std::string& /*FileName*/,
                                                  const TOptions_SaveAttachments& /*Part*/)
{
    return {};
}
