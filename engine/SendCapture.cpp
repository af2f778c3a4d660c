// The send capture: shortcut attachments replaced by the files they point to.

#include "engine/SendCapture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "engine/LnkTools.h"
#include "engine/MaskExpansion.h"
#include "jobs/FileTools.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Text.h"

namespace {

/// Deletes a working file when it goes out of scope, also after an exception; a failed
/// delete is ignored (it must not hide the error that is on its way).
class WorkFile {
public:
    explicit WorkFile(std::string path) : path_(std::move(path)) {}
    ~WorkFile()
    {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

/// The folder of the short-lived copies: "Trovanta" in the temporary folder.
std::string WorkDir()
{
    return JoinPath(GetTempDir(), "Trovanta");
}

void ForceDirectories(const std::string& dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) throw EOSError(ec.value(), dir);
}

/// A shortcut's target counts only when it is a regular file: a shortcut comes from
/// strangers, and a folder, device, pipe or socket must never be read as an attachment.
bool IsRegularFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

/// The folder part of a path, ending with its separator; the target of a shortcut made on
/// Windows ("C:\Docs\a.doc") has its folders after a backslash.
std::string FolderWithSlash(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

/// A name made of dots and blanks only never reaches the file system as such.
std::string SafeFileName(const std::string& name)
{
    if (name.find_first_not_of(". ") == std::string::npos) return EmptyFileNamePart;
    return name;
}

/// Saves the attachment into the working folder and reads the target of the shortcut it
/// holds; "" when it holds none. The working copy is deleted again.
std::string ReadAttachedShortcut(outlook::IAttachment& attachment)
{
    const std::string dir = WorkDir();
    const WorkFile linkCopy(UniqueFileName(dir, "QEL", ".lnk"));
    ForceDirectories(dir);
    attachment.SaveAsFile(linkCopy.Path());
    return ResolveShortcut(linkCopy.Path());
}

/// Attaches Source under the name the file had before the shortcut AttName replaced it
/// (numbered when the working folder holds such a file already): a second name of the file
/// where both folders lie on one file system, else a copy; the name is deleted again.
void AttachOriginal(outlook::IAttachments& attachments, const std::string& source, const std::string& attName)
{
    const std::string name = SafeFileName(ShortcutNameToFileName(ExtractNamePart(attName)));
    const std::string dir = WorkDir();
    const WorkFile copy(UniqueFileName(dir, name, ExtractExtension(name)));
    ForceDirectories(dir);
    // The link is made to the file itself, never to a symbolic link that Source may be.
    if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, copy.Path().c_str(), AT_SYMLINK_FOLLOW) != 0)
        FileCopy(source, copy.Path(), true);
    attachments.Add(copy.Path(), outlook::olByValue);
}

}  // namespace

std::string SearchPathFilePath()
{
    return JoinPath(GetWindowsDir(), SearchPathFileName);
}

TSendCapture::TSendCapture(TShortcutPrompts& Prompts) : FPrompts(Prompts) {}

void TSendCapture::ProcessItem(const ComPtr<outlook::IOutlookItem>& Item)
{
    if (Item->Class() != outlook::olMail || FOptions.ReplaceMode == 2) return;
    FSearchPaths.LoadFromFile(SearchPathFilePath());
    FTrustedFolders = LoadSavedFolders();
    const ComPtr<outlook::IAttachments> attachments = Item->Attachments();
    for (int i = attachments->Count(); i >= 1; --i) ReplaceShortcut(attachments, i, true, true);
}

bool TSendCapture::ReplaceShortcut(const ComPtr<outlook::IAttachments>& Attachments, int Index,
                                   bool AllowKeep, bool AllowRemove)
{
    const ComPtr<outlook::IAttachment> attachment = Attachments->Item(Index);
    const std::string attName = attachment->Filename();
    if (!SameText(ExtractExtension(attName), ".qel")) return false;

    const std::string target = ReadAttachedShortcut(*attachment);
    if (target.empty()) return false;  // left in place without a question
    // Asked, the user decides on the file shown; unasked, only trusted folders serve.
    const bool asked = FOptions.ReplaceMode == 0;
    const std::string resolved = CanonicalPath(target);
    if (!ConfirmReplace(attName, resolved.empty() ? target : resolved)) return false;

    TLocated located = LocateFile(attName, target, AllowKeep, AllowRemove);
    if (located.Attach && !asked) {
        located.Source = AdmitSource(located.Source, target);
        if (located.Source.empty()) return false;
    }
    if (located.Attach) AttachOriginal(*Attachments, located.Source, attName);
    if (located.Remove) attachment->Delete();
    return located.Attach;
}

bool TSendCapture::ConfirmReplace(const std::string& AttName, const std::string& OrgPath)
{
    switch (FOptions.ReplaceMode) {
        case 0: {
            const int answer = FPrompts.ConfirmReplace(AttName, OrgPath);
            if (answer == prompt::mrCancel) throw EAbort();
            if (answer == prompt::mrYesToAll) {
                FOptions.ReplaceMode = 1;
                return true;
            }
            return answer != prompt::mrNo;
        }
        case 1:
        case 3:
            return true;
        default:
            return false;
    }
}

std::string TSendCapture::AdmitSource(const std::string& Source, const std::string& Target)
{
    TTrustedFolders trusted = FTrustedFolders;
    trusted.AddSearchPaths(FSearchPaths);  // as they are now: the user may have edited them
    std::string admitted = trusted.Admit(Source);
    if (admitted.empty() && OnShortcutRefused) OnShortcutRefused(ShortcutOutsideText + Target);
    return admitted;
}

TSendCapture::TLocated TSendCapture::LocateFile(const std::string& AttName, const std::string& Target,
                                                bool AllowKeep, bool AllowRemove)
{
    if (FOptions.ReplaceMode == 3) {
        const bool exists = IsRegularFile(Target);
        return {Target, exists, exists};
    }
    for (;;) {
        std::string found;
        if (FSearchPaths.FindFile(Target, found)) return {found, true, true};
        switch (FPrompts.ShowFileNotFound(AttName, Target, AllowKeep, AllowRemove)) {
            case prompt::mrSearchPaths:
                if (FPrompts.EditSearchPaths(FolderWithSlash(Target), FSearchPaths)) {
                    FSearchPaths.SaveToFile(SearchPathFilePath());
                }
                break;  // and look again
            case prompt::mrDontReplace:
                return {{}, false, false};
            case prompt::mrRemoveAtt:
                return {{}, false, true};
            default:
                throw EAbort();
        }
    }
}
