#pragma once
// The send capture: puts the original files back in place of ".qel" shortcut attachments,
// for an e-mail being sent and for the reimport action of a job. For each shortcut it reads
// the target, decides or asks whether to replace it, looks for the file (also below moved
// folders through the search paths), attaches the file under the name it had before it was
// replaced and removes the shortcut.

#include <functional>
#include <string>

#include "engine/ShortcutPrompts.h"
#include "jobs/Options.h"
#include "jobs/SearchPathList.h"
#include "jobs/TrustedFolders.h"
#include "platform/outlook/Outlook.h"

/// Full path of the search path file: "QELRUN.TXT" in the Windows folder.
std::string SearchPathFilePath();

/// What a shortcut that is not put back because its file lies outside the trusted folders is
/// reported with, followed by its target.
inline constexpr const char* ShortcutOutsideText =
    "The shortcut points outside the folders that attachments are saved to: ";

class TSendCapture {
public:
    /// Prompts is lent and must outlive the object; it is asked only in replace mode 0 and
    /// when a file cannot be found outside mode 3.
    explicit TSendCapture(TShortcutPrompts& Prompts);
    virtual ~TSendCapture() = default;
    TSendCapture(const TSendCapture&) = delete;
    TSendCapture& operator=(const TSendCapture&) = delete;

    /// The send option; only ReplaceMode is used: 0 ask, 1 always, 2 never, 3 only where the
    /// file exists, without search paths or prompts. The caller fills it before use; "Yes to
    /// all" changes it to 1.
    TSendOptions& Options() { return FOptions; }
    const TSendOptions& Options() const { return FOptions; }
    TSearchPathList& SearchPaths() { return FSearchPaths; }
    const TSearchPathList& SearchPaths() const { return FSearchPaths; }
    /// Where the files of shortcuts replaced without a question must lie (together with the
    /// roots of SearchPaths): shortcuts come from strangers too. The caller fills it before
    /// use; ProcessItem loads it from the settings.
    TTrustedFolders& TrustedFolders() { return FTrustedFolders; }

    /// Told of every shortcut whose file lies outside the trusted folders, with the message
    /// ShortcutOutsideText + its target; such a shortcut stays as it is. Unset, nobody is told.
    std::function<void(const std::string& Msg)> OnShortcutRefused;

    /// For an e-mail being sent: unless it is no mail item or ReplaceMode is 2, loads the
    /// search paths from their file and the trusted folders from the settings, and handles every attachment
    /// from the last to the first, offering both "Do not replace" and "Remove attachment". Errors and the
    /// user's cancel (EAbort) pass on; attachments handled until then stay changed.
    void ProcessItem(const ComPtr<outlook::IOutlookItem>& Item);

    /// Handles the attachment at Index (from 1). True when the original file was attached in
    /// its place (at the end of the collection). Anything other than a shortcut, a shortcut
    /// without a readable target, a "No", a file that is kept missing and, unless the user
    /// was asked about this shortcut, a file outside the trusted folders give false. The
    /// question shows the target's resolved path.
    bool ReplaceShortcut(const ComPtr<outlook::IAttachments>& Attachments, int Index, bool AllowKeep,
                         bool AllowRemove);

    /// Whether to replace the shortcut AttName with OrgPath, by ReplaceMode: 0 asks ("Yes to
    /// all" sets ReplaceMode to 1, "Cancel" raises EAbort), 1 and 3 say yes, all else no.
    bool ConfirmReplace(const std::string& AttName, const std::string& OrgPath);

private:
    /// What to do with a shortcut once its target is known.
    struct TLocated {
        std::string Source;
        bool Attach = false;
        bool Remove = false;
    };
    TLocated LocateFile(const std::string& AttName, const std::string& Target, bool AllowKeep,
                        bool AllowRemove);
    /// The canonical path of Source when it lies in a trusted folder or below a search root;
    /// "" (and OnShortcutRefused is told of Target) otherwise.
    std::string AdmitSource(const std::string& Source, const std::string& Target);

    TSendOptions FOptions;
    TSearchPathList FSearchPaths;
    TTrustedFolders FTrustedFolders;
    TShortcutPrompts& FPrompts;
};
