// The manual run: reading the users, validating the job, walking the folders or the
// selection from the last item to the first, the item trap and the result text.

#include "engine/EmailProcessor.h"

#include <pwd.h>
#include <unistd.h>

#include <fmt/printf.h>

#include <vector>

#include "engine/MAPIUtils.h"
#include "engine/OutlookTools.h"
#include "jobs/DM_Global.h"
#include "platform/com/ComRuntime.h"
#include "platform/outlook/Errors.h"
#include "platform/runtime/Exception.h"

namespace {

/// Clears a folder field when the run leaves, also by an exception.
class ClearOnExit {
public:
    explicit ClearOnExit(std::vector<TEmailProcessor::FolderPtr*> fields) : fields_(std::move(fields)) {}
    ~ClearOnExit()
    {
        for (auto* field : fields_) field->Reset();
    }
    ClearOnExit(const ClearOnExit&) = delete;
    ClearOnExit& operator=(const ClearOnExit&) = delete;

private:
    std::vector<TEmailProcessor::FolderPtr*> fields_;
};

void AddLine(std::string& text, const char* label, std::int32_t value)
{
    text += fmt::sprintf(label, value);
    text += "\r\n";
}

}  // namespace

TEmailProcessor::TEmailProcessor()
    : FManualOptions(std::make_unique<TManualOptions>()),
      FAutoOptions(std::make_unique<TAutoOptions>()),
      FMeOptions(std::make_unique<TMeOptions>())
{
}

TEmailProcessor::~TEmailProcessor()
{
    // Freed in this order: own addresses, rules, manual job.
    FMeOptions.reset();
    FAutoOptions.reset();
    FManualOptions.reset();
}

void TEmailProcessor::DoProgress()
{
    if (OnProgress) OnProgress(*this, FFolderName, FFolderItemCount, FItemIndex, FAction);
}

void TEmailProcessor::DoItemError(const std::string& Msg)
{
    if (OnItemError) OnItemError(*this, FFolderPath, FSubject, FItemDate, Msg);
}

void TEmailProcessor::ResetCounters()
{
    for (std::int32_t* counter :
         {&FFoldersInspected, &FItemsInspected, &FEmailsProcessed, &FEmailsCopied, &FEmailsExported,
          &FReimportAffected, &FAttsReimported, &FAttsSkipped, &FSaveAffected, &FAttsSaved,
          &FShortcutsCreated, &FAttsRemoved, &FDeleteAffected, &FAttsDeleted, &FEmailsMarked, &FEmailsMoved,
          &FEmailsDeleted}) {
        *counter = 0;
    }
    FFolderItemCount = 0;
    FItemIndex = 0;
    FFolderName.clear();
    FAction.clear();
    FWrittenFiles.Clear();
    FDestFolders.clear();
}

void TEmailProcessor::ReadWindowsUser()
{
    FWindowsUser.clear();
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name) {
        FWindowsUser = found->pw_name;
    }
}

ComPtr<IUnknown> TEmailProcessor::CreateServerObject(const std::string& ProgID)
{
    if (FObjectFactory) return FObjectFactory(ProgID);
    ComPtr<IClassFactory>& factory = FClassFactories[ProgID];
    if (!factory) {
        const HRESULT hr = CoGetClassObject(ProgIDToClassID(ProgID), CLSCTX_INPROC_SERVER, nullptr,
                                            IClassFactory::iid, factory.PutVoid());
        if (FAILED(hr)) {
            FClassFactories.erase(ProgID);
            throw ComError(hr);
        }
    }
    ComPtr<IUnknown> object;
    OleCheck(factory->CreateInstance(nullptr, IUnknown::iid, object.PutVoid()));
    return object;
}

void TEmailProcessor::ReadOutlookUser()
{
    const ComPtr<qelutils::ISafeCurrentUser> user =
        CreateServerObject(ProgIDCurrentUser).As<qelutils::ISafeCurrentUser>();
    if (!user) throw ComError(E_NOINTERFACE);
    try {
        FOutlookUser = user->Name();
    } catch (...) {
        user->CleanUp();
        throw;
    }
    user->CleanUp();
}

void TEmailProcessor::EnterFolder(const FolderPtr& Folder, std::int32_t ItemCount)
{
    FCurrentFolder = Folder;
    FFolderPath = GetFolderPath(Folder);
    FFolderPathRel = FFolderPath;
    if (!FRootPath.empty() && FFolderPath.compare(0, FRootPath.size(), FRootPath) == 0) {
        FFolderPathRel.erase(0, FRootPath.size());
    }
    FFolderName = Folder->Name();
    FFolderItemCount = ItemCount;
    FItemIndex = 0;
    FAction.clear();
}

void TEmailProcessor::Execute()
{
    ResetCounters();
    FSavedFolders.reset();
    ReadWindowsUser();
    ReadOutlookUser();

    TJobSourceItems source;
    ClearOnExit clear({&FCurrentFolder, &FSourceFolder});
    if (!FApplication) throw ComError(E_POINTER);
    TDMGlobal::ValidateManualOptions(*FManualOptions, *FApplication, source);
    FSourceFolder = source.Folder;
    FRootPath = source.Path;

    if (FManualOptions->Source().Source == 1) {
        ProcessFolder(FSourceFolder);
    } else {
        ProcessItems(FSourceFolder, source.Selection);
    }
}

void TEmailProcessor::ProcessFolder(const FolderPtr& Folder)
{
    {
        const ComPtr<outlook::IItems> items = Folder->Items();
        ProcessItems(Folder, items);
    }
    if (!FManualOptions->Source().InclSubFolders) return;
    const int count = Folder->Folders()->Count();
    for (int n = count; n >= 1; --n) {
        // Re-read: an action may have moved or deleted a subfolder meanwhile.
        if (n > Folder->Folders()->Count()) continue;
        ProcessFolder(Folder->Folders()->Item(n));
    }
}

void TEmailProcessor::ProcessItems(const FolderPtr& Folder, const ComPtr<outlook::IItems>& Items)
{
    ++FFoldersInspected;
    EnterFolder(Folder, Items->Count());
    const int count = Items->Count();
    for (int n = count; n >= 1; --n) {
        // Re-read: moves and deletes of earlier items shrink the live collection.
        if (n > Items->Count()) continue;
        ProcessItem(Items->Item(n));
    }
}

TEmailProcessor::SafeItemPtr TEmailProcessor::CreateSafeItem(const ComPtr<outlook::IOutlookItem>& Item,
                                                             int ItemClass)
{
    const char* progID = ItemClass == outlook::olMail ? ProgIDSafeMailItem : ProgIDSafePostItem;
    SafeItemPtr safeItem = CreateServerObject(progID).As<qelutils::ISafeItem>();
    if (!safeItem) throw ComError(E_NOINTERFACE);
    safeItem->SetItem(Item);
    return safeItem;
}

TEmailProcessor::SafeItemPtr TEmailProcessor::InspectItem(const ComPtr<outlook::IOutlookItem>& Item)
{
    ++FItemIndex;
    FAction = actions::Inspecting;
    ++FItemsInspected;
    DoProgress();
    const int itemClass = Item->Class();
    if (itemClass != outlook::olMail && itemClass != outlook::olPost) return nullptr;
    return CreateSafeItem(Item, itemClass);
}

void TEmailProcessor::ProcessItem(const ComPtr<outlook::IOutlookItem>& Item)
{
    try {
        const SafeItemPtr safeItem = InspectItem(Item);
        if (!safeItem) return;
        const RecipientsPtr recipients = safeItem->Recipients();
        ProcessMail(safeItem, recipients);
    } catch (const ComError& e) {
        // A message that another program deleted while the run went on is an error of that
        // item, also while it is read; any other failure there ends the run.
        if (!outlook::IsMessageGone(e)) throw;
        FSubject.clear();
        FItemDate = 0;
        DoItemError(e.what());
    }
}

void TEmailProcessor::ProcessMail(const SafeItemPtr& SafeItem, const RecipientsPtr& Recipients)
{
    ReadItemInfo(SafeItem, Recipients);  // outside the trap: a failure here ends the run
    try {
        FNow = Now();
        if (MatchesFilter(SafeItem, Recipients, FManualOptions->Filter())) {
            ++FEmailsProcessed;
            RunManualActions(SafeItem, Recipients);
        }
    } catch (const EAbort&) {
        // the user's cancel: the rest of this item is skipped without a report
    } catch (const std::exception& e) {
        DoItemError(e.what());
    }
}

void TEmailProcessor::RunManualActions(const SafeItemPtr& SafeItem, const RecipientsPtr& Recipients)
{
    const TManualOptions& job = *FManualOptions;
    if (job.CopyEmails1().Active) CopyToFolder(SafeItem, job.CopyEmails1());
    if (job.ExportEmails().Active) ExportEmail(SafeItem, Recipients, job.ExportEmails());
    if (job.Reimport().Active) ReimportAttachments(SafeItem);
    if (job.SaveAttachments().Active) SaveAttachments(SafeItem, job.SaveAttachments());
    if (job.DeleteAttachments().Active) DeleteAttachments(SafeItem, job.DeleteAttachments());
    if (job.ReadUnread().Mode != 0) MarkReadUnread(SafeItem, job.ReadUnread());
    if (job.CopyEmails2().Active) CopyToFolder(SafeItem, job.CopyEmails2());
    if (job.MoveEmails().Active) MoveToFolder(SafeItem, job.MoveEmails());
    if (job.DeleteEmails().Active) DeleteEmail(SafeItem, job.DeleteEmails());
}

void TEmailProcessor::GetResultText(std::string& Text) const
{
    const TManualOptions& job = *FManualOptions;
    Text.clear();
    AddLine(Text, "Folders inspected: %d   ", FFoldersInspected);
    AddLine(Text, "Items inspected: %d   ", FItemsInspected);
    AddLine(Text, "E-mails processed: %d   ", FEmailsProcessed);
    const auto group = [&Text](bool shown) {
        if (shown) Text += "\r\n";
        return shown;
    };
    if (group(job.CopyEmails1().Active || job.CopyEmails2().Active)) AddLine(Text, "E-mails copied: %d   ", FEmailsCopied);
    if (group(job.ExportEmails().Active)) AddLine(Text, "E-mails exported: %d   ", FEmailsExported);
    if (group(job.Reimport().Active)) {
        AddLine(Text, "Attachments skipped: %d   ", FAttsSkipped);
        AddLine(Text, "Attachments reimported: %d   ", FAttsReimported);
        AddLine(Text, "E-Mails affected: %d   ", FReimportAffected);
    }
    if (group(job.SaveAttachments().Active)) {
        AddLine(Text, "Attachments saved: %d   ", FAttsSaved);
        AddLine(Text, "Shortcuts created: %d   ", FShortcutsCreated);
        Text += "\r\n";
        AddLine(Text, "Attachments removed: %d   ", FAttsRemoved);
        Text += "\r\n";
        AddLine(Text, "E-Mails affected: %d   ", FSaveAffected);
    }
    if (group(job.DeleteAttachments().Active)) {
        AddLine(Text, "Attachments deleted: %d   ", FAttsDeleted);
        AddLine(Text, "E-Mails affected: %d   ", FDeleteAffected);
    }
    if (group(job.ReadUnread().Mode == 1)) AddLine(Text, "E-mails set to read: %d   ", FEmailsMarked);
    if (group(job.ReadUnread().Mode == 2)) AddLine(Text, "E-mails set to unread: %d   ", FEmailsMarked);
    if (group(job.MoveEmails().Active)) AddLine(Text, "E-mails moved: %d   ", FEmailsMoved);
    if (group(job.DeleteEmails().Active)) AddLine(Text, "E-mails deleted: %d   ", FEmailsDeleted);
}

std::string TEmailProcessor::GetResultText() const
{
    std::string text;
    GetResultText(text);
    return text;
}
