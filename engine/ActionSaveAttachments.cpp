// Save attachments to disk, optionally from attached e-mails too, and afterwards replace
// them by shortcuts or remove them.

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <fmt/printf.h>

#include "engine/ActionPaths.h"
#include "engine/EmailProcessor.h"
#include "engine/LnkTools.h"
#include "jobs/FileTools.h"
#include "jobs/ShortcutFolders.h"
#include "jobs/TrustedFolders.h"
#include "platform/runtime/Text.h"

namespace fs = std::filesystem;

namespace {

/// Attached e-mails are opened this many levels deep at most; deeper ones are saved as files.
constexpr int kMaxAttachedMessageDepth = 16;

constexpr std::uint8_t kAfterSaveShortcut = 1;
constexpr std::uint8_t kAfterSaveRemove = 2;

/// Shortcut files (ours and the system's) are never saved.
bool IsShortcutName(const std::string& Name)
{
    const std::string ext = AsciiUpperCase(ExtractExtension(Name));
    return ext == ".QEL" || ext == ".LNK" || ext == ".PIF";
}

/// The name an attachment is saved under: its file name without folder; an attached item
/// is named after its display name (else its file name) with ".msg".
std::string AttachmentName(outlook::IAttachment& Att, int Type)
{
    const std::string name = ExtractNamePart(Att.Filename());
    if (Type != outlook::olEmbeddedItem) return name;
    const std::string displayName = Att.DisplayName();
    return (displayName.empty() ? name : displayName) + ".msg";
}

void DeleteQuietly(const std::string& FileName)
{
    std::error_code ec;
    fs::remove(FileName, ec);
}

/// An item opened from an attached e-mail: discarded when the scope ends, however it ends.
class OpenedMessage {
public:
    explicit OpenedMessage(ComPtr<outlook::IOutlookItem> Item) : item_(std::move(Item)) {}
    OpenedMessage(const OpenedMessage&) = delete;
    OpenedMessage& operator=(const OpenedMessage&) = delete;
    ~OpenedMessage()
    {
        try {
            item_->Delete();
        } catch (...) {
            // it lives in no folder: nothing remains of it either way
        }
    }
    const ComPtr<outlook::IOutlookItem>& Item() const { return item_; }

private:
    ComPtr<outlook::IOutlookItem> item_;
};

}  // namespace

void TEmailProcessor::SaveAttachments(const SafeItemPtr& SafeItem, const TOptions_SaveAttachments& Part)
{
    FAction = actions::SavingAttachments;
    DoProgress();
    std::int32_t saved = 0, notSaved = 0, removed = 0, shortcuts = 0;
    FDurableSaves.Clear();
    SaveItemAttachments(SafeItem, Part, Part.RecurseMSG, true, saved, notSaved, removed, shortcuts, 0);
    if (removed > 0 || shortcuts > 0) {
        // The e-mail gives up its only copy of the attachments: their files first reach the disk.
        FDurableSaves.Flush();
        SafeItem->SetSubject(SafeItem->Subject());
        SafeItem->Save();
    }
    if (saved > 0) ++FSaveAffected;
    FAttsSaved += saved;
    FShortcutsCreated += shortcuts;
    FAttsRemoved += removed;
}

void TEmailProcessor::SaveItemAttachments(const ComPtr<outlook::IOutlookItem>& SafeItem,
                                          const TOptions_SaveAttachments& Part, bool Recurse, bool TopLevel,
                                          std::int32_t& Saved, std::int32_t& NotSaved, std::int32_t& Removed,
                                          std::int32_t& Shortcuts, int Depth)
{
    const ComPtr<outlook::IAttachments> atts = SafeItem->Attachments();
    for (int i = atts->Count(); i >= 1; --i) {
        const ComPtr<outlook::IAttachment> att = atts->Item(i);
        const int type = att->Type();
        if (type != outlook::olByValue && type != outlook::olEmbeddedItem) {
            ++NotSaved;
            continue;
        }
        const std::string name = AttachmentName(*att, type);
        if (IsShortcutName(name)) continue;

        ComPtr<outlook::IOutlookItem> msg;
        if (Recurse && Depth < kMaxAttachedMessageDepth && AsciiUpperCase(ExtractExtension(name)) == ".MSG" &&
            OpenAttachedMessage(att, msg)) {
            const OpenedMessage opened(std::move(msg));
            SaveAttachedMessage(att, opened.Item(), Part, TopLevel, Saved, NotSaved, Removed, Shortcuts,
                                Depth);
            continue;
        }
        if (!PassesInclExcl(name, Part.AttIncl(), Part.AttExcl())) {
            ++NotSaved;
            continue;
        }
        FAction = fmt::sprintf(actions::SavingAttachment, name);
        DoProgress();
        const std::string savedPath = SaveAttachmentByMask(att, name, Part);
        if (savedPath.empty()) {
            ++NotSaved;
            continue;
        }
        ++Saved;
        if (TopLevel) AfterSave(atts, att, savedPath, name, Part, Removed, Shortcuts);
    }
}

void TEmailProcessor::SaveAttachedMessage(const ComPtr<outlook::IAttachment>& Att,
                                          const ComPtr<outlook::IOutlookItem>& Msg,
                                          const TOptions_SaveAttachments& Part, bool TopLevel,
                                          std::int32_t& Saved, std::int32_t& NotSaved, std::int32_t& Removed,
                                          std::int32_t& Shortcuts, int Depth)
{
    std::int32_t innerSaved = 0, innerNotSaved = 0;
    {
        const SafeItemPtr safeItem = CreateSafeItem(Msg, Msg->Class());
        SaveItemAttachments(safeItem, Part, true, false, innerSaved, innerNotSaved, Removed, Shortcuts,
                            Depth + 1);
    }
    Saved += innerSaved;
    NotSaved += innerNotSaved;
    // Only an attached e-mail whose every attachment was saved leaves the e-mail; one from
    // which nothing was saved stays, since nothing of it exists anywhere else.
    if (TopLevel && innerNotSaved == 0 && innerSaved > 0 && Part.AfterSaveMode == kAfterSaveRemove) {
        Att->Delete();
        Removed += innerSaved;
    }
}

void TEmailProcessor::AfterSave(const ComPtr<outlook::IAttachments>& Atts,
                                const ComPtr<outlook::IAttachment>& Att, const std::string& SavedPath,
                                const std::string& Name, const TOptions_SaveAttachments& Part,
                                std::int32_t& Removed, std::int32_t& Shortcuts)
{
    if (Part.AfterSaveMode == kAfterSaveRemove) {
        Att->Delete();
        ++Removed;
    } else if (Part.AfterSaveMode == kAfterSaveShortcut) {
        const std::string linkFile = CreateShortcut(SavedPath, Name);
        try {
            RememberShortcutTarget(Part.DestPath, SavedPath);
            Atts->Add(linkFile, outlook::olByValue, 0, ExtractNamePart(linkFile));
            Att->Delete();
        } catch (...) {
            DeleteQuietly(linkFile);
            throw;
        }
        DeleteQuietly(linkFile);
        ++Shortcuts;
    }
}

void TEmailProcessor::RememberShortcutTarget(const std::string& DestPath, const std::string& SavedPath)
{
    // The files of one e-mail, and often of many, go into the same folder: it is looked up once.
    const std::string savedFolder = SavedPath.substr(0, SavedPath.rfind('/'));
    if (savedFolder == FLastShortcutFolder) return;
    const std::string folder = CanonicalPath(savedFolder);
    if (folder.empty()) return;
    const bool known = std::any_of(FRememberedFolders.begin(), FRememberedFolders.end(),
                                   [&](const std::string& entry) { return IsInsideFolder(folder, entry); });
    if (!known) {
        // One entry per destination: the masks' subfolders lie below it. A file that a symbolic
        // link inside the destination took elsewhere has its own folder remembered.
        const std::string root = CanonicalPath(DestPath);
        const std::string entry = !root.empty() && IsInsideFolder(folder, root) ? root : folder;
        RememberShortcutFolder(entry);
        FRememberedFolders.push_back(entry);
    }
    FLastShortcutFolder = savedFolder;
}

bool TEmailProcessor::OpenAttachedMessage(const ComPtr<outlook::IAttachment>& Attachment,
                                          ComPtr<outlook::IOutlookItem>& Item)
{
    Item.Reset();
    const std::string temp = CreateTempFileName("MSG");
    bool written = false;
    try {
        Attachment->SaveAsFile(temp);
        written = true;
    } catch (...) {
        // an attached e-mail that cannot be written is saved like any other attachment
    }
    if (written && fs::exists(temp)) {
        try {
            Item = FApplication->CreateItemFromTemplate(temp);
            const int itemClass = Item->Class();
            if (itemClass != outlook::olMail && itemClass != outlook::olPost) {
                Item->Delete();
                Item.Reset();
            }
        } catch (...) {
            Item.Reset();
        }
    }
    DeleteQuietly(temp);
    return static_cast<bool>(Item);
}

std::string TEmailProcessor::SaveAttachmentByMask(const ComPtr<outlook::IAttachment>& Attachment,
                                                  const std::string& FileName,
                                                  const TOptions_SaveAttachments& Part)
{
    const std::string path =
        JoinPath(ExpandHomeFolder(Part.DestPath), MaskFilePath(ExpandMask(Part.Mask, FileName)));
    const std::size_t slash = path.rfind('/');
    // Attachments replaced by shortcuts or removed need a file each, also when overwriting.
    const bool leaveTheEmail =
        Part.AfterSaveMode == kAfterSaveShortcut || Part.AfterSaveMode == kAfterSaveRemove;
    return SaveAttachmentFile(Attachment, path.substr(0, slash), path.substr(slash + 1), Part.DuplicateMode,
                              Part.SaveOnlyIfSize, Part.SaveOnlyIfSizeKB, leaveTheEmail);
}
