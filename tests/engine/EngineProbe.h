#pragma once
// An engine whose inner operations, fields and counters tests can reach.

#include "engine/EmailProcessor.h"

namespace test {

class EngineProbe : public TEmailProcessor {
public:
    // Inner operations.
    using TEmailProcessor::ExpandMask;
    using TEmailProcessor::SaveAttachmentFile;
    using TEmailProcessor::ReadItemInfo;
    using TEmailProcessor::MatchesFilter;
    using TEmailProcessor::GetRecipientInfo;
    using TEmailProcessor::EnterFolder;
    using TEmailProcessor::ResetCounters;

    // Context fields.
    using TEmailProcessor::FWindowsUser;
    using TEmailProcessor::FOutlookUser;
    using TEmailProcessor::FSourceFolder;
    using TEmailProcessor::FCurrentFolder;
    using TEmailProcessor::FRootPath;
    using TEmailProcessor::FFolderPath;
    using TEmailProcessor::FFolderPathRel;
    using TEmailProcessor::FFolderName;
    using TEmailProcessor::FMessageID;
    using TEmailProcessor::FSenderName;
    using TEmailProcessor::FSenderAddress;
    using TEmailProcessor::FRecipientName;
    using TEmailProcessor::FRecipientAddress;
    using TEmailProcessor::FSubject;
    using TEmailProcessor::FSubjectNoPrefix;
    using TEmailProcessor::FItemDate;
    using TEmailProcessor::FMyName;
    using TEmailProcessor::FMyAddress;
    using TEmailProcessor::FOtherName;
    using TEmailProcessor::FOtherAddress;
    using TEmailProcessor::FNow;

    // Counters.
    using TEmailProcessor::FEmailsCopied;
    using TEmailProcessor::FEmailsExported;
    using TEmailProcessor::FReimportAffected;
    using TEmailProcessor::FAttsReimported;
    using TEmailProcessor::FAttsSkipped;
    using TEmailProcessor::FSaveAffected;
    using TEmailProcessor::FAttsSaved;
    using TEmailProcessor::FShortcutsCreated;
    using TEmailProcessor::FAttsRemoved;
    using TEmailProcessor::FDeleteAffected;
    using TEmailProcessor::FAttsDeleted;
    using TEmailProcessor::FEmailsMarked;
    using TEmailProcessor::FEmailsMoved;
    using TEmailProcessor::FEmailsDeleted;
};

}  // namespace test
