#include "jobs/DM_Global.h"

#include <algorithm>
#include <array>
#include <string_view>

#include <fmt/printf.h>

#include "engine/OutlookTools.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Text.h"

using outlook::IMAPIFolder;

namespace {

constexpr std::array<std::string_view, 22> kMaskTokens = {
    "SN", "SE", "RN", "RE", "B", "BX", "T", "Y", "M", "D", "C",
    "CY", "CM", "CD", "U", "W", "O", "OR", "ME", "MN", "NE", "NN"};
constexpr std::array<std::string_view, 5> kAttachmentTokens = {"FE", "F", "E", "F1", "E1"};

constexpr const char* kCaptionSource = "Source items";
constexpr const char* kCaptionFilter = "Use filter";
constexpr const char* kCaptionCopy = "Copy e-mails to folder";
constexpr const char* kCaptionMove = "Move e-mails to folder";
constexpr const char* kCaptionExport = "Export e-mails";
constexpr const char* kCaptionSave = "Save attachments";
constexpr const char* kCaptionDelete = "Delete e-mails";
constexpr const char* kNoFolder = "You must specify an Outlook folder.";
constexpr const char* kFolderNotFound = "Outlook folder not found.";
constexpr const char* kFolderChanged = "Outlook folder has changed.";
constexpr const char* kNoSelection = "No items selected.";
constexpr const char* kNoDestPath = "Destination directory not specified.";
constexpr const char* kNoMask = "Filename mask not specified.";
constexpr const char* kInvalidMask = "Invalid subfolder/file mask: %s.";
constexpr const char* kNoAttOption = "You must check at least one attachment option.";

[[noreturn]] void Fail(const std::string& caption, const std::string& message)
{
    throw Exception(TDMGlobal::FormatError(caption, message));
}

void CheckMask(const std::string& caption, const std::string& mask, bool forAttachments)
{
    if (!TDMGlobal::IsValidMask(mask, forAttachments)) Fail(caption, fmt::sprintf(kInvalidMask, mask));
}

void ValidateFolderTarget(const std::string& caption, const TOptions_CopyMove& options)
{
    if (options.Entry.empty()) Fail(caption, kNoFolder);
    if (!options.Mask.empty()) CheckMask(caption, options.Mask, false);
}

ComPtr<IMAPIFolder> LookUpFolder(outlook::IOutlookApplication& application, const std::string& entry,
                                 const std::string& store)
{
    const ComPtr<outlook::INameSpace> ns = application.GetNamespace("MAPI");
    ComPtr<IMAPIFolder> folder = ns->GetFolderFromID(entry, store);
    if (folder && folder->Class() != outlook::olFolder) return nullptr;
    return folder;
}

/// Steps of the source check: the folder (and selection) a job runs on.
void FindSourceItems(const TOptions_Source& source, outlook::IOutlookApplication& application,
                     TJobSourceItems& items)
{
    if (source.Source == 1) {
        items.Folder = LookUpFolder(application, source.Entry, source.Store);
        if (!items.Folder) Fail(kCaptionSource, kFolderNotFound);
        items.Path = GetFolderPath(items.Folder);
        if (!SameText(items.Path, source.FullName)) Fail(kCaptionSource, kFolderChanged);
        return;
    }
    const ComPtr<outlook::IExplorer> explorer = application.ActiveExplorer();
    if (!explorer) Fail(kCaptionSource, "No active Explorer available.");
    items.Folder = explorer->CurrentFolder();
    if (!items.Folder) Fail(kCaptionSource, kNoSelection);
    items.Selection = explorer->Selection();
    if (!items.Selection || items.Selection->Count() == 0) Fail(kCaptionSource, kNoSelection);
    items.Path = GetFolderPath(items.Folder);
}

bool HasActiveAction(const TManualOptions& o)
{
    return o.CopyEmails1().Active || o.ExportEmails().Active || o.Reimport().Active ||
           o.SaveAttachments().Active || o.DeleteAttachments().Active || o.CopyEmails2().Active ||
           o.MoveEmails().Active || o.DeleteEmails().Active || o.ReadUnread().Mode != 0;
}

void ValidateActions(const TManualOptions& o, outlook::IOutlookApplication& application,
                     const ComPtr<IMAPIFolder>& source, bool inclSubFolders)
{
    if (o.Filter().Active) TDMGlobal::ValidateFilter(o.Filter());
    if (o.CopyEmails1().Active) {
        TDMGlobal::ValidateCopyEmails(o.CopyEmails1());
        TDMGlobal::ValidateDestFolder(kCaptionCopy, o.CopyEmails1(), application, source, inclSubFolders);
    }
    if (o.ExportEmails().Active) TDMGlobal::ValidateExportEmails(o.ExportEmails());
    if (o.SaveAttachments().Active) TDMGlobal::ValidateSaveAttachments(o.SaveAttachments());
    if (o.CopyEmails2().Active) {
        TDMGlobal::ValidateCopyEmails(o.CopyEmails2());
        TDMGlobal::ValidateDestFolder(kCaptionCopy, o.CopyEmails2(), application, source, inclSubFolders);
    }
    if (o.MoveEmails().Active) {
        TDMGlobal::ValidateMoveEmails(o.MoveEmails());
        TDMGlobal::ValidateDestFolder(kCaptionMove, o.MoveEmails(), application, source, inclSubFolders);
    }
    if (o.DeleteEmails().Active) TDMGlobal::ValidateDeleteEmails(o.DeleteEmails());
    if (!HasActiveAction(o)) throw Exception("No actions defined for processing the e-mails.");
}

}  // namespace

std::string TDMGlobal::FormatError(const std::string& Caption, const std::string& Message)
{
    if (Caption.empty()) return Message;
    return Trim(Trim(Caption) + ":\r\n\r\n" + Message);
}

bool TDMGlobal::IsValidMask(const std::string& Mask, bool ForAttachments)
{
    std::string_view rest = Mask;
    bool result = true;
    while (result && rest.find('[') != std::string_view::npos) {
        const std::size_t open = rest.find('[');
        if (rest.substr(0, open).find(']') != std::string_view::npos) return false;
        rest.remove_prefix(open + 1);
        const std::size_t close = rest.find(']');
        if (close == std::string_view::npos) return false;
        const std::string token = AsciiUpperCase(rest.substr(0, close));
        rest.remove_prefix(close + 1);
        if (std::find(kMaskTokens.begin(), kMaskTokens.end(), token) != kMaskTokens.end()) continue;
        const bool forAttachments =
            std::find(kAttachmentTokens.begin(), kAttachmentTokens.end(), token) != kAttachmentTokens.end();
        result = forAttachments && ForAttachments;
    }
    return result && rest.find(']') == std::string_view::npos;
}

void TDMGlobal::ValidateSource(const TOptions_Source& Options)
{
    if (Options.Source == 1 && Options.Entry.empty()) Fail(kCaptionSource, kNoFolder);
}

void TDMGlobal::ValidateFilter(const TOptions_Filter& Options)
{
    if (Options.DateFrom != 0 && Options.DateTo != 0 && Options.DateFrom > Options.DateTo) {
        Fail(kCaptionFilter, "Date <from> is later than date <to>.");
    }
    if (!Options.HasAtt && !Options.HasNoAtt) Fail(kCaptionFilter, kNoAttOption);
}

void TDMGlobal::ValidateCopyEmails(const TOptions_CopyMove& Options)
{
    ValidateFolderTarget(kCaptionCopy, Options);
}

void TDMGlobal::ValidateMoveEmails(const TOptions_CopyMove& Options)
{
    ValidateFolderTarget(kCaptionMove, Options);
}

void TDMGlobal::ValidateExportEmails(const TOptions_ExportEmails& Options)
{
    if (Options.DestPath.empty()) Fail(kCaptionExport, kNoDestPath);
    if (Options.Mask.empty()) Fail(kCaptionExport, kNoMask);
    CheckMask(kCaptionExport, Options.Mask, false);
    if (Options.Log && Options.LogPath.empty()) Fail(kCaptionExport, "You must specify a Log-directory");
}

void TDMGlobal::ValidateSaveAttachments(const TOptions_SaveAttachments& Options)
{
    if (Options.DestPath.empty()) Fail(kCaptionSave, kNoDestPath);
    if (Options.Mask.empty()) Fail(kCaptionSave, kNoMask);
    CheckMask(kCaptionSave, Options.Mask, true);
}

void TDMGlobal::ValidateDeleteEmails(const TOptions_DeleteEmails& Options)
{
    if (!Options.DeleteWithoutAtt && !Options.DeleteWithAtt) Fail(kCaptionDelete, kNoAttOption);
}

void TDMGlobal::ValidateManualOptions(const TManualOptions& Options, outlook::IOutlookApplication& Application,
                                      TJobSourceItems& Items)
{
    const bool inclSubFolders = Options.Source().Source == 1 && Options.Source().InclSubFolders;
    try {
        ValidateSource(Options.Source());
        FindSourceItems(Options.Source(), Application, Items);
        ValidateActions(Options, Application, Items.Folder, inclSubFolders);
    } catch (...) {
        Items.Folder.Reset();
        Items.Selection.Reset();
        throw;
    }
}

void TDMGlobal::ValidateDestFolder(const std::string& Caption, const TOptions_CopyMove& Options,
                                   outlook::IOutlookApplication& Application,
                                   const ComPtr<IMAPIFolder>& SourceFolder, bool InclSubFolders)
{
    const ComPtr<IMAPIFolder> dest = LookUpFolder(Application, Options.Entry, Options.Store);
    if (!dest) Fail(Caption, kFolderNotFound);
    if (!SameText(GetFolderPath(dest), Options.FullName)) Fail(Caption, kFolderChanged);
    if (!SourceFolder) return;
    if (IsSameFolder(dest, SourceFolder)) Fail(Caption, "Destination folder must be different from the source folder.");
    if (InclSubFolders && IsFolderWithin(SourceFolder, dest)) {
        Fail(Caption, "Destination folder must not be a child folder of the source folder.");
    }
}

void TDMGlobal::ValidateJobList(const TJobList& Jobs)
{
    for (int i = 0; i < Jobs.Count(); ++i) ValidateJob(i, Jobs.Jobs(i));
}

void TDMGlobal::ValidateJob(int Index, const TJobOptions& Job)
{
    try {
        if (Job.ExportEmails().Active) ValidateExportEmails(Job.ExportEmails());
        if (Job.SaveAttachments().Active) ValidateSaveAttachments(Job.SaveAttachments());
    } catch (const Exception& e) {
        if (Index < 0) throw;
        throw Exception(fmt::sprintf("Job %d", Index + 1) + "\r\n\r\n" + e.Message());
    }
}
