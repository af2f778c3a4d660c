#pragma once
// The process's data module: the batch flag and the checks of a job before it runs.
// Its creator (the batch program, the add-in) owns it and lends it to whoever reads
// BatchMode; the checks need no instance. Every check raises an Exception whose text is
// made by FormatError from the part's caption and the message; the first failure ends it.

#include <string>

#include "jobs/Options.h"
#include "platform/outlook/Outlook.h"

/// What a manual job runs on, as ValidateManualOptions finds it.
struct TJobSourceItems {
    /// The source folder (for selected items: the explorer's current folder).
    ComPtr<outlook::IMAPIFolder> Folder;
    /// The folder's display path.
    std::string Path;
    /// The selected items; empty for a folder source.
    ComPtr<outlook::IItems> Selection;
};

class TDMGlobal {
public:
    /// True in the batch program, false in the add-in.
    bool BatchMode = false;

    /// Caption (trimmed) + ":" + CR LF CR LF + Message, trimmed; Message alone without caption.
    static std::string FormatError(const std::string& Caption, const std::string& Message);

    /// True when every "[...]" placeholder of Mask is well formed and known; the
    /// attachment placeholders count only with ForAttachments.
    static bool IsValidMask(const std::string& Mask, bool ForAttachments);

    static void ValidateSource(const TOptions_Source& Options);
    static void ValidateFilter(const TOptions_Filter& Options);
    static void ValidateCopyEmails(const TOptions_CopyMove& Options);
    static void ValidateMoveEmails(const TOptions_CopyMove& Options);
    static void ValidateExportEmails(const TOptions_ExportEmails& Options);
    static void ValidateSaveAttachments(const TOptions_SaveAttachments& Options);
    static void ValidateDeleteEmails(const TOptions_DeleteEmails& Options);

    /// Checks the whole job against the mail client and fills `Items` with what it runs on.
    /// On failure Folder and Selection are left empty; Path keeps what was found.
    static void ValidateManualOptions(const TManualOptions& Options, outlook::IOutlookApplication& Application,
                                      TJobSourceItems& Items);

    /// The destination checks of a copy or move: found, unchanged, not the source, and not
    /// below the source when subfolders are included.
    static void ValidateDestFolder(const std::string& Caption, const TOptions_CopyMove& Options,
                                   outlook::IOutlookApplication& Application,
                                   const ComPtr<outlook::IMAPIFolder>& SourceFolder, bool InclSubFolders);

    /// ValidateJob for each rule with its zero-based index.
    static void ValidateJobList(const TJobList& Jobs);

    /// The checks of one rule's active parts; with Index >= 0 the text starts with
    /// "Job <Index + 1>" and an empty line.
    static void ValidateJob(int Index, const TJobOptions& Job);
};
