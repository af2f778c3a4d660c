// Export an e-mail to a file, with its attachments and the export log.

#include "engine/EmailProcessor.h"

void TEmailProcessor::ExportEmail(const SafeItemPtr& /*SafeItem*/, const RecipientsPtr& /*Recipients*/,
                                  const TOptions_ExportEmails& /*Part*/)
{
}

void TEmailProcessor::BuildHtmlFromBody(TStringList& /*Lines*/, const SafeItemPtr& /*SafeItem*/,
                                        const RecipientsPtr& /*Recipients*/)
{
}

void TEmailProcessor::AddRecipientToList(const ComPtr<outlook::IRecipient>& /*Recipient*/, std::string& /*List*/) {}

void TEmailProcessor::WriteExportLog(const std::string& /*LogPath*/, std::uint8_t /*SaveFormat*/,
                                     const std::string& /*FileName*/, std::int32_t /*AttCount*/,
                                     const TStringList& /*AttFiles*/)
{
}
