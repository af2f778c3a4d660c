#pragma once
// The engine: one TEmailProcessor serves one run. A caller lends it the mail client's
// application object and the MAPI utility client, fills its option records, sets its two
// events and starts a manual run (Execute) or the processing of one new e-mail
// (ProcessNewMail); afterwards it asks for the result text.
//
// The class is one object with many actions; each action lives in its own source file:
//   EmailProcessor.cpp         the run, the folder walk, the item trap, the result text
//   ItemInfo.cpp               item information, own/other side, the filter
//   MaskExpansion.cpp          placeholders, file-name cleaning
//   AttachmentFile.cpp         writing one attachment to a disk file
//   ActionCopyMove.cpp         copy and move to a folder
//   ActionExport.cpp           export an e-mail (with export log)
//   ActionReimport.cpp         reimport original files in place of shortcuts
//   ActionSaveAttachments.cpp  save attachments
//   ActionDeleteAttachments.cpp, ActionReadUnread.cpp, ActionDeleteEmail.cpp
//   NewMail.cpp                the rules for a new e-mail

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/DurableSaves.h"
#include "engine/MaskExpansion.h"
#include "engine/WrittenFiles.h"
#include "jobs/Options.h"
#include "jobs/TrustedFolders.h"
#include "platform/com/ClassFactory.h"
#include "platform/outlook/Outlook.h"
#include "platform/qelutils/QELutils.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/StringList.h"

class TEmailProcessor;
class TMAPIUtils;
class TDMGlobal;
class TShortcutPrompts;

/// Progress of a run: the current folder's name and item count, the running number of the
/// item in that folder (from 1) and the text of the step in progress. Raising EAbort here
/// cancels the run.
using TEmailProgressEvent = std::function<void(TEmailProcessor& Sender, const std::string& FolderName,
                                               std::int32_t ItemCount, std::int32_t ItemIndex,
                                               const std::string& Action)>;

/// An error while processing one item; the run goes on with the next item.
using TEmailItemErrorEvent = std::function<void(TEmailProcessor& Sender, const std::string& FolderPath,
                                                const std::string& Subject, TDateTime ItemDate,
                                                const std::string& Msg)>;

/// Creates an object of the external server by ProgID ("QELutils.QELSCU", "QELutils.QELSMI",
/// "QELutils.QELSPI"); raises ComError when the server is missing.
using TObjectFactory = std::function<ComPtr<IUnknown>(const std::string& ProgID)>;

/// The ProgIDs of the external server's objects.
inline constexpr const char* ProgIDCurrentUser = "QELutils.QELSCU";
inline constexpr const char* ProgIDSafeMailItem = "QELutils.QELSMI";
inline constexpr const char* ProgIDSafePostItem = "QELutils.QELSPI";

/// Texts of the steps that the progress event carries.
namespace actions {
inline constexpr const char* Inspecting = "Inspecting";
inline constexpr const char* CopyingToFolder = "Copying to folder";
inline constexpr const char* ExportingEmail = "Exporting e-mail";
inline constexpr const char* ReimportingAttachments = "Reimporting attachments";
inline constexpr const char* SavingAttachments = "Saving attachments";
/// printf format with the attachment's name.
inline constexpr const char* SavingAttachment = "Saving attachment %s";
inline constexpr const char* DeletingAttachments = "Deleting attachments";
inline constexpr const char* MarkingReadUnread = "Marking e-mail as read/unread";
inline constexpr const char* MovingToFolder = "Moving to folder";
inline constexpr const char* DeletingEmail = "Deleting e-mail";
}  // namespace actions

/// True when Value matches one of the masks of List (both sides upper-cased; entries that
/// are blank after trimming are skipped; an entry is matched untrimmed).
bool MatchesAnyMask(const TStringList& List, const std::string& Value);
/// (InclList empty or Value matches it) and not (ExclList not empty and Value matches it).
bool PassesInclExcl(const std::string& Value, const TStringList& InclList, const TStringList& ExclList);

class TEmailProcessor {
public:
    using SafeItemPtr = ComPtr<qelutils::ISafeItem>;
    using RecipientsPtr = ComPtr<outlook::IRecipients>;
    using FolderPtr = ComPtr<outlook::IMAPIFolder>;

    /// Creates the three owned option records; all else starts empty.
    TEmailProcessor();
    virtual ~TEmailProcessor();
    TEmailProcessor(const TEmailProcessor&) = delete;
    TEmailProcessor& operator=(const TEmailProcessor&) = delete;

    // Lent objects: the caller keeps them alive for the run.
    void SetApplication(ComPtr<outlook::IOutlookApplication> Application) { FApplication = std::move(Application); }
    void SetMAPIUtils(TMAPIUtils* MAPIUtils) { FMAPIUtils = MAPIUtils; }
    /// The process's data module (its batch flag); may stay unset outside the batch program.
    void SetDMGlobal(const TDMGlobal* DMGlobal) { FDMGlobal = DMGlobal; }
    /// Where the reimport asks the user; unset, it asks nobody and keeps what is not found.
    void SetShortcutPrompts(TShortcutPrompts* Prompts) { FShortcutPrompts = Prompts; }
    /// How the external server's objects are made; by default the COM runtime by ProgID.
    void SetObjectFactory(TObjectFactory Factory) { FObjectFactory = std::move(Factory); }

    TManualOptions& ManualOptions() { return *FManualOptions; }
    TAutoOptions& AutoOptions() { return *FAutoOptions; }
    TMeOptions& MeOptions() { return *FMeOptions; }

    TEmailProgressEvent OnProgress;
    TEmailItemErrorEvent OnItemError;

    /// One manual run over the job's folder or selection; failures leave it as exceptions
    /// (the counters then hold what was counted until then).
    void Execute();
    /// The result summary of the last run.
    void GetResultText(std::string& Text) const;
    std::string GetResultText() const;
    /// Applies the first matching rule of AutoOptions to a new item.
    void ProcessNewMail(const ComPtr<outlook::IOutlookItem>& Item);

    // Counters of the last run.
    std::int32_t FoldersInspected() const { return FFoldersInspected; }
    std::int32_t ItemsInspected() const { return FItemsInspected; }
    std::int32_t EmailsProcessed() const { return FEmailsProcessed; }

protected:
    virtual void DoProgress();
    virtual void DoItemError(const std::string& Msg);

    // The run (EmailProcessor.cpp).
    /// The counters, the progress fields and the files remembered by the last run.
    void ResetCounters();
    void ReadWindowsUser();
    void ReadOutlookUser();
    void EnterFolder(const FolderPtr& Folder, std::int32_t ItemCount);
    void ProcessFolder(const FolderPtr& Folder);
    void ProcessItems(const FolderPtr& Folder, const ComPtr<outlook::IItems>& Items);
    void ProcessItem(const ComPtr<outlook::IOutlookItem>& Item);
    /// Counts and reports the item as inspected; a mail or post item comes back as its safe
    /// item, any other class as none.
    SafeItemPtr InspectItem(const ComPtr<outlook::IOutlookItem>& Item);
    void ProcessMail(const SafeItemPtr& SafeItem, const RecipientsPtr& Recipients);
    void RunManualActions(const SafeItemPtr& SafeItem, const RecipientsPtr& Recipients);
    /// The safe item of the external server for a mail (43) or post (45) item, holding Item.
    SafeItemPtr CreateSafeItem(const ComPtr<outlook::IOutlookItem>& Item, int ItemClass);
    ComPtr<IUnknown> CreateServerObject(const std::string& ProgID);

    // Item information and filter (ItemInfo.cpp).
    void ReadItemInfo(const SafeItemPtr& SafeItem, const RecipientsPtr& Recipients);
    void GetRecipientInfo(const ComPtr<outlook::IRecipient>& Recipient, std::string& Name, std::string& Address);
    void FindOtherRecipient(const RecipientsPtr& Recipients, std::string& Name, std::string& Address);
    void FindMyRecipient(const RecipientsPtr& Recipients, std::string& Name, std::string& Address);
    bool MatchesFilter(const SafeItemPtr& SafeItem, const RecipientsPtr& Recipients, const TOptions_Filter& Filter);

    // Masks and file naming (MaskExpansion.cpp).
    std::string ExpandMask(const std::string& Mask, const std::string& FileName) const;
    /// Writes one attachment into Dir (a file-system folder); the full path written, or ""
    /// when nothing was written. With KeepRunFiles the file is remembered for the run, and
    /// overwriting (DuplicateMode 1) never replaces a file remembered so: the name is numbered.
    std::string SaveAttachmentFile(const ComPtr<outlook::IAttachment>& Attachment, const std::string& Dir,
                                   const std::string& FileName, std::uint8_t DuplicateMode, bool CheckSize,
                                   std::int32_t MinSizeKB, bool KeepRunFiles = false);

    // The actions are virtual so that tests can watch the walk through them.

    // Copy and move (ActionCopyMove.cpp).
    FolderPtr GetDestFolder(const TOptions_CopyMove& Part);
    virtual void CopyToFolder(const SafeItemPtr& SafeItem, const TOptions_CopyMove& Part);
    virtual void MoveToFolder(const SafeItemPtr& SafeItem, const TOptions_CopyMove& Part);

    // Export (ActionExport.cpp).
    virtual void ExportEmail(const SafeItemPtr& SafeItem, const RecipientsPtr& Recipients,
                     const TOptions_ExportEmails& Part);
    /// The page of an e-mail without an HTML body: the byte order mark, the header values and
    /// the lines of Body, escaped, in a small fixed page.
    std::string BuildHtmlFromBody(std::string_view Body, const SafeItemPtr& SafeItem,
                                  const RecipientsPtr& Recipients);
    void AddRecipientToList(const ComPtr<outlook::IRecipient>& Recipient, std::string& List);
    void WriteExportLog(const std::string& LogPath, std::uint8_t SaveFormat, const std::string& FileName,
                        std::int32_t AttCount, const TStringList& AttFiles);
    /// Writes the exported file: the item's own format, or the page built from the plain body.
    void WriteExportFile(const SafeItemPtr& SafeItem, const RecipientsPtr& Recipients, const std::string& FileName,
                         bool HtmlPage, int SaveType);
    /// Writes every attachment into AttDir; the paths written are added to AttFiles.
    void ExportAttachments(const ComPtr<outlook::IAttachments>& Attachments, const std::string& AttDir,
                           TStringList& AttFiles);
    /// Puts Prefix before the item's subject and stores the item.
    void PrefixSubject(const SafeItemPtr& SafeItem, const std::string& Prefix);

    // Reimport (ActionReimport.cpp).
    virtual void ReimportAttachments(const SafeItemPtr& SafeItem);
    /// The folders whose files shortcuts bring back without a question: those of the
    /// settings and the save destination of this job; read once per run.
    const TTrustedFolders& SavedFolders();

    // Save attachments (ActionSaveAttachments.cpp).
    virtual void SaveAttachments(const SafeItemPtr& SafeItem, const TOptions_SaveAttachments& Part);
    /// Depth counts the attached e-mails opened on the way down (0 at the e-mail itself).
    void SaveItemAttachments(const ComPtr<outlook::IOutlookItem>& SafeItem, const TOptions_SaveAttachments& Part,
                             bool Recurse, bool TopLevel, std::int32_t& Saved, std::int32_t& NotSaved,
                             std::int32_t& Removed, std::int32_t& Shortcuts, int Depth);
    /// The attachments of an attached e-mail opened as Msg, one level below Depth.
    void SaveAttachedMessage(const ComPtr<outlook::IAttachment>& Att, const ComPtr<outlook::IOutlookItem>& Msg,
                             const TOptions_SaveAttachments& Part, bool TopLevel, std::int32_t& Saved,
                             std::int32_t& NotSaved, std::int32_t& Removed, std::int32_t& Shortcuts, int Depth);
    /// What happens to a saved attachment of the e-mail itself: nothing, a shortcut, removal.
    void AfterSave(const ComPtr<outlook::IAttachments>& Atts, const ComPtr<outlook::IAttachment>& Att,
                   const std::string& SavedPath, const std::string& Name, const TOptions_SaveAttachments& Part,
                   std::int32_t& Removed, std::int32_t& Shortcuts);
    /// Remembers the folder of SavedPath (the destination DestPath itself when the file lies
    /// below it) as one into which a replaced attachment was saved, once per engine.
    void RememberShortcutTarget(const std::string& DestPath, const std::string& SavedPath);
    bool OpenAttachedMessage(const ComPtr<outlook::IAttachment>& Attachment, ComPtr<outlook::IOutlookItem>& Item);
    std::string SaveAttachmentByMask(const ComPtr<outlook::IAttachment>& Attachment, const std::string& FileName,
                                     const TOptions_SaveAttachments& Part);

    // Delete attachments, mark, delete (one file each).
    virtual void DeleteAttachments(const SafeItemPtr& SafeItem, const TOptions_DeleteAttachments& Part);
    virtual void MarkReadUnread(const SafeItemPtr& SafeItem, const TOptions_ReadUnread& Part);
    virtual void DeleteEmail(const SafeItemPtr& SafeItem, const TOptions_DeleteEmails& Part);

    // New e-mail by the rules (NewMail.cpp).
    void ProcessAutoJobs(const SafeItemPtr& SafeItem, const RecipientsPtr& Recipients);
    bool MatchesJob(const SafeItemPtr& SafeItem, const RecipientsPtr& Recipients, const TJobOptions& Job);
    bool RecipientsMatchMaskList(const RecipientsPtr& Recipients, const std::string& MaskList);

    // Lent objects and owned records.
    ComPtr<outlook::IOutlookApplication> FApplication;
    TMAPIUtils* FMAPIUtils = nullptr;
    const TDMGlobal* FDMGlobal = nullptr;
    TShortcutPrompts* FShortcutPrompts = nullptr;
    TObjectFactory FObjectFactory;
    /// Class factories of the external server's objects, looked up once per engine: the safe
    /// item of every e-mail comes from the same factory.
    std::map<std::string, ComPtr<IClassFactory>> FClassFactories;
    std::unique_ptr<TManualOptions> FManualOptions;
    std::unique_ptr<TAutoOptions> FAutoOptions;
    std::unique_ptr<TMeOptions> FMeOptions;
    /// SavedFolders of the current run; the folders this engine remembered.
    std::optional<TTrustedFolders> FSavedFolders;
    std::vector<std::string> FRememberedFolders;
    std::string FLastShortcutFolder;  // the folder of the last file given a shortcut, as saved
    /// The destinations of copies and moves found in this run, by store, folder and subfolder path.
    std::map<std::string, FolderPtr> FDestFolders;

    // Context of the run and of the current item, read by the masks, actions and log.
    std::string FWindowsUser;
    std::string FOutlookUser;
    FolderPtr FSourceFolder;
    std::string FRootPath;
    FolderPtr FCurrentFolder;
    std::string FFolderPath;
    std::string FFolderPathRel;
    std::string FMessageID;
    std::string FSenderName, FSenderAddress;
    std::string FRecipientName, FRecipientAddress;
    std::string FSubject, FSubjectNoPrefix;
    TDateTime FItemDate = 0;
    std::string FMyName, FMyAddress, FOtherName, FOtherAddress;
    TDateTime FNow = 0;
    std::string FFolderName;
    std::int32_t FFolderItemCount = 0;
    std::int32_t FItemIndex = 0;
    std::string FAction;
    /// Files written by this run where attachments leave the e-mail; cleared at every run.
    TWrittenFiles FWrittenFiles;
    TDurableSaves FDurableSaves;  // of the e-mail whose attachments are being saved

    // The 17 counters.
    std::int32_t FFoldersInspected = 0;
    std::int32_t FItemsInspected = 0;
    std::int32_t FEmailsProcessed = 0;
    std::int32_t FEmailsCopied = 0;
    std::int32_t FEmailsExported = 0;
    std::int32_t FReimportAffected = 0;
    std::int32_t FAttsReimported = 0;
    std::int32_t FAttsSkipped = 0;
    std::int32_t FSaveAffected = 0;
    std::int32_t FAttsSaved = 0;
    std::int32_t FShortcutsCreated = 0;
    std::int32_t FAttsRemoved = 0;
    std::int32_t FDeleteAffected = 0;
    std::int32_t FAttsDeleted = 0;
    std::int32_t FEmailsMarked = 0;
    std::int32_t FEmailsMoved = 0;
    std::int32_t FEmailsDeleted = 0;
};
