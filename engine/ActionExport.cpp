// Export an e-mail to a file, with its attachments and the export log.

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include <fmt/printf.h>

#include "engine/ActionPaths.h"
#include "engine/EmailProcessor.h"
#include "engine/ExportHtml.h"
#include "engine/ExportLog.h"
#include "engine/MAPIUtils.h"
#include "jobs/FileTools.h"
#include "platform/com/ComError.h"
#include "platform/runtime/Exception.h"

namespace fs = std::filesystem;

namespace {

/// The file extension and the save type of one export format.
struct ExportFormat {
    const char* extension;
    int saveType;
};

/// By SaveFormat: 0 text, 1 message file, 2 HTML, 3 and 4 RFC 822 (".eml" and ".mht" differ
/// only in the extension).
constexpr std::array<ExportFormat, 5> kExportFormats = {{
    {".txt", outlook::olTXT},
    {".msg", outlook::olMSG},
    {".htm", outlook::olHTML},
    {".eml", outlook::olRFC822},
    {".mht", outlook::olRFC822},
}};
static_assert(kExportFormats[4].saveType == kExportFormats[3].saveType);

/// Unknown formats are exported as text.
ExportFormat FormatOf(std::uint8_t SaveFormat)
{
    return SaveFormat < kExportFormats.size() ? kExportFormats[SaveFormat] : kExportFormats[0];
}

constexpr int kSaveFormatHtml = 2;

bool Exists(const std::string& path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

/// Beside an exported file "Name.Ext", its attachments go into the folder "Name-Attachments".
constexpr std::string_view kAttachmentFolderSuffix = "-Attachments";

/// Base + Middle + Ext, the name shortened so that it, and its attachment folder when there is
/// one, each fit one name part; held to the length limit.
std::string ExportCandidate(const std::string& Base, const std::string& Middle, const std::string& Ext,
                            bool AttachmentFolder)
{
    const std::size_t slash = Base.rfind('/') + 1;  // 0 without a folder
    const std::size_t tail =
        AttachmentFolder ? std::max(Ext.size(), kAttachmentFolderSuffix.size()) : Ext.size();
    const std::string stem =
        FitNamePart(std::string_view(Base).substr(slash), Middle, "", MaxNameBytes - tail);
    std::string fileName = Base.substr(0, slash) + stem + Ext;
    CheckPathLength(fileName);
    return fileName;
}

/// Base + Ext, or with DuplicateMode 0 and that file present, the first free "Base - N" + Ext
/// from N = 2 on.
std::string ExportFileName(const std::string& Base, const std::string& Ext, std::uint8_t DuplicateMode,
                           bool AttachmentFolder)
{
    std::string fileName = ExportCandidate(Base, "", Ext, AttachmentFolder);
    for (int n = 2; DuplicateMode == 0 && Exists(fileName); ++n) {
        fileName = ExportCandidate(Base, fmt::sprintf(" - %d", n), Ext, AttachmentFolder);
    }
    return fileName;
}

void CreateParentFolders(const std::string& FileName)
{
    const fs::path folder = fs::path(FileName).parent_path();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) throw EOSError(ec.value(), folder.string());
}

/// The name under which an export writes an attachment: its file name, cleaned; an attached
/// item is named after its display name (else its file name) with ".msg".
std::string ExportAttachmentName(outlook::IAttachment& Att)
{
    const std::string name = CleanFileName(ExtractNamePart(Att.Filename()));
    if (Att.Type() != outlook::olEmbeddedItem) return name;
    const std::string displayName = Att.DisplayName();
    return displayName.empty() ? name + ".msg" : CleanFileName(displayName + ".msg");
}

}  // namespace

void TEmailProcessor::ExportEmail(const SafeItemPtr& SafeItem, const RecipientsPtr& Recipients,
                                  const TOptions_ExportEmails& Part)
{
    FAction = actions::ExportingEmail;
    DoProgress();
    const ExportFormat format = FormatOf(Part.SaveFormat);
    const std::string base =
        JoinPath(ExpandHomeFolder(Part.DestPath), MaskFilePath(ExpandMask(Part.Mask, std::string())));
    const std::string fileName =
        ExportFileName(base, format.extension, Part.DuplicateMode, Part.AlsoAttachments);
    CreateParentFolders(fileName);
    WriteExportFile(SafeItem, Recipients, fileName, Part.SaveFormat == kSaveFormatHtml, format.saveType);
    if (FItemDate != 0) {
        try {
            SetFileDateTime(fileName, FItemDate);
        } catch (...) {
            // the file's date is a courtesy; the export itself is written
        }
    }

    // The attachments are read only when they are written or logged: reading them parses the
    // whole message, which an export to a message file does not need otherwise.
    const bool log = Part.Log && !Part.LogPath.empty();
    const ComPtr<outlook::IAttachments> attachments =
        Part.AlsoAttachments || log ? SafeItem->Attachments() : ComPtr<outlook::IAttachments>();
    const std::int32_t attCount = attachments ? attachments->Count() : 0;
    TStringList attFiles;
    if (Part.AlsoAttachments && attCount > 0) {
        const std::string attDir = fileName.substr(0, fileName.size() - std::strlen(format.extension)) +
                                   std::string(kAttachmentFolderSuffix);
        ExportAttachments(attachments, attDir, attFiles);
    }
    if (!Part.PrefixSubject.empty()) PrefixSubject(SafeItem, Part.PrefixSubject);
    if (log) WriteExportLog(ExpandHomeFolder(Part.LogPath), Part.SaveFormat, fileName, attCount, attFiles);
    ++FEmailsExported;
}

void TEmailProcessor::WriteExportFile(const SafeItemPtr& SafeItem, const RecipientsPtr& Recipients,
                                      const std::string& FileName, bool HtmlPage, int SaveType)
{
    if (!HtmlPage || !SafeItem->HTMLBody().empty()) {
        SafeItem->SaveAs(FileName, SaveType);
        return;
    }
    SaveHtmlPage(FileName, BuildHtmlFromBody(SafeItem->Body(), SafeItem, Recipients));
}

void TEmailProcessor::ExportAttachments(const ComPtr<outlook::IAttachments>& Attachments,
                                        const std::string& AttDir, TStringList& AttFiles)
{
    const int count = Attachments->Count();
    for (int i = 1; i <= count; ++i) {
        const ComPtr<outlook::IAttachment> att = Attachments->Item(i);
        const std::string name = ExportAttachmentName(*att);
        FAction = fmt::sprintf(actions::SavingAttachment, name);
        DoProgress();
        // A file that cannot be written is passed over; any other failure (a path too long)
        // ends the export of this e-mail.
        std::string saved = SaveAttachmentFile(att, AttDir, name, 0, false, 0);
        if (!saved.empty()) AttFiles.Add(std::move(saved));
    }
}

void TEmailProcessor::PrefixSubject(const SafeItemPtr& SafeItem, const std::string& Prefix)
{
    if (!FMAPIUtils) throw ComError(E_POINTER);
    const ComPtr<outlook::IOutlookItem> item = SafeItem->Item();
    FMAPIUtils->SetMAPIProperty(item, qelutils::PR_SUBJECT, Prefix + item->Subject(), true);
}

void TEmailProcessor::WriteExportLog(const std::string& LogPath, std::uint8_t SaveFormat,
                                     const std::string& FileName, std::int32_t AttCount,
                                     const TStringList& AttFiles)
{
    TLogEntry entry;
    entry.SenderName = FSenderName;
    entry.SenderEmail = FSenderAddress;
    entry.RecipientName = FRecipientName;
    entry.RecipientEmail = FRecipientAddress;
    entry.Subject = FSubject;
    entry.DateSent = FItemDate;
    entry.MessageID = FMessageID;
    entry.OutlookFolder = FFolderPath;
    entry.FileType = SaveFormat;
    entry.Filename = FileName;
    entry.DateExported = Now();
    entry.AttCount = AttCount;
    entry.AttFiles = AttFiles;
    TExportLog log;
    log.AddEntry(LogPath, entry);
}
