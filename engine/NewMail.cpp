// A new e-mail processed by the first matching rule.

#include "engine/EmailProcessor.h"

#include "engine/OutlookTools.h"
#include "jobs/DM_Global.h"
#include "jobs/MatchStr.h"
#include "platform/com/ComError.h"
#include "platform/runtime/Text.h"

namespace {

/// Empties the folder fields when the processing leaves, also by an exception.
class ClearFoldersOnExit {
public:
    ClearFoldersOnExit(TEmailProcessor::FolderPtr& source, TEmailProcessor::FolderPtr& current)
        : source_(source), current_(current)
    {
    }
    ~ClearFoldersOnExit()
    {
        source_.Reset();
        current_.Reset();
    }
    ClearFoldersOnExit(const ClearFoldersOnExit&) = delete;
    ClearFoldersOnExit& operator=(const ClearFoldersOnExit&) = delete;

private:
    TEmailProcessor::FolderPtr& source_;
    TEmailProcessor::FolderPtr& current_;
};

/// An empty mask matches everything.
bool MatchesMask(const std::string& Value, const std::string& Mask)
{
    return Mask.empty() || MatchWildcard(Value, Mask);
}

/// True when Name or Address matches one of the ";"-separated masks of MaskList. An empty
/// list matches everything; a list of blanks only matches nothing; an empty element
/// between two separators is an empty mask.
bool MatchesMaskList(const std::string& Name, const std::string& Address, const std::string& MaskList)
{
    if (MaskList.empty()) return true;
    std::string rest = Trim(MaskList);
    bool result = false;
    while (!result && !rest.empty()) {
        std::string element;
        const std::size_t sep = rest.find(';');
        if (sep == std::string::npos) {
            element = rest;
            rest.clear();
        } else {
            element = Trim(std::string_view(rest).substr(0, sep));
            rest = Trim(std::string_view(rest).substr(sep + 1));
        }
        result = MatchWildcard(Name, element) || MatchWildcard(Address, element);
    }
    return result;
}

}  // namespace

void TEmailProcessor::ProcessNewMail(const ComPtr<outlook::IOutlookItem>& Item)
{
    const ClearFoldersOnExit clear(FSourceFolder, FCurrentFolder);
    ResetCounters();
    ReadWindowsUser();
    ReadOutlookUser();
    TDMGlobal::ValidateJobList(FAutoOptions->Jobs());

    if (!FApplication || !Item) throw ComError(E_POINTER);
    // The rules work with the Inbox as their folder, wherever the item lies.
    FSourceFolder = FApplication->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox);
    if (!FSourceFolder) throw ComError(E_FAIL);
    FRootPath = GetFolderPath(FSourceFolder);

    ++FFoldersInspected;
    EnterFolder(FSourceFolder, 1);
    const SafeItemPtr safeItem = InspectItem(Item);
    if (!safeItem) return;
    const RecipientsPtr recipients = safeItem->Recipients();
    ProcessAutoJobs(safeItem, recipients);
}

void TEmailProcessor::ProcessAutoJobs(const SafeItemPtr& SafeItem, const RecipientsPtr& Recipients)
{
    ReadItemInfo(SafeItem, Recipients);
    FNow = Now();
    const TJobList& jobs = FAutoOptions->Jobs();
    const int count = jobs.Count();
    for (int i = 0; i < count; ++i) {
        const TJobOptions& job = jobs.Jobs(i);
        if (!MatchesJob(SafeItem, Recipients, job)) continue;
        ++FEmailsProcessed;
        if (job.ExportEmails().Active) ExportEmail(SafeItem, Recipients, job.ExportEmails());
        if (job.SaveAttachments().Active) SaveAttachments(SafeItem, job.SaveAttachments());
        return;  // the first matching rule only, whether or not it did anything
    }
}

bool TEmailProcessor::MatchesJob(const SafeItemPtr& /*SafeItem*/, const RecipientsPtr& Recipients,
                                 const TJobOptions& Job)
{
    return MatchesMask(UpperCase(FSubject), UpperCase(Job.Subject)) &&
           MatchesMaskList(UpperCase(FSenderName), UpperCase(FSenderAddress), UpperCase(Job.Sender)) &&
           RecipientsMatchMaskList(Recipients, UpperCase(Job.Recipient));
}

bool TEmailProcessor::RecipientsMatchMaskList(const RecipientsPtr& Recipients, const std::string& MaskList)
{
    const int count = Recipients->Count();
    for (int i = 1; i <= count; ++i) {
        std::string name;
        std::string address;
        GetRecipientInfo(Recipients->Item(i), name, address);
        if (MatchesMaskList(UpperCase(name), UpperCase(address), MaskList)) return true;
    }
    return false;  // always so for an e-mail without recipients
}
