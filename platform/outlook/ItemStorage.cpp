// Storing an item: Save, Copy, Move, Delete and SaveAs.

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/outlook/ConvertAhead.h"
#include "platform/outlook/Errors.h"
#include "platform/outlook/Item.h"
#include "platform/outlook/MessageFiles.h"
#include "platform/runtime/FileIO.h"

#ifdef TROVANTA_HAVE_MSGFILE
#include "platform/outlook/DateConv.h"
#include "platform/outlook/msg/MsgFile.h"
#endif

namespace fs = std::filesystem;

namespace outlook {

namespace {

std::string EncodedHeaderText(const std::string& text)
{
    EnsureGMime();
    return TakeString(g_mime_utils_header_encode_text(nullptr, text.c_str(), "utf-8"));
}

/// A record for a new file in `folder` with the flags of `like`.
RecordPtr NewRecord(const MaildirName& like, const std::string& subdir)
{
    auto record = std::make_shared<MessageRecord>();
    record->name = like;
    record->name.unique = NewUniqueName();
    record->subdir = subdir;
    return record;
}

/// Moves the message file `from` into `subdir` of `folder` under `name`, never over another
/// file: a name that is taken gets a new unique part. A folder whose directories went away
/// since they were made gets them again, once.
void MoveMessageFile(const std::string& from, const FolderState& folder, const std::string& subdir,
                     MaildirName& name)
{
    bool remade = false;
    for (;;) {
        const MoveResult result =
            MoveFileNoReplace(from, folder.Dir() / "tmp", folder.Dir() / subdir / name.FileName());
        if (result == MoveResult::moved) return;
        if (result == MoveResult::targetTaken) {
            name.unique = NewUniqueName();
        } else if (remade || !NameExists(from)) {
            Fail("Cannot move \"" + from + "\": " + std::strerror(ENOENT));
        } else {
            folder.RemakeMaildir();
            remade = true;
        }
    }
}

/// The mode of a message new in `folder`, as Maildir programs (Dovecot, mutt) give it: the
/// folder directory's permissions without the execute bits, so that a private folder (0700)
/// holds private messages and one its group may read (0750) holds messages its group can read.
mode_t NewMessageMode(const FolderState& folder)
{
    return ModeOfFile(folder.Dir(), 0700) & 0666;
}

/// A message that is rewritten or copied keeps the mode of its file.
mode_t MessageModeOf(const fs::path& stored, const FolderState& folder)
{
    return ModeOfFile(stored, NewMessageMode(folder));
}

}  // namespace

void ItemImpl::ApplyPendingToMessage()
{
    if (pendingSubject_) g_mime_message_set_subject(FullMessage(), pendingSubject_->c_str(), "utf-8");
}

void ItemImpl::RenameToPendingFlags()
{
    WithStoredFile([this](const std::string& path) {
        // The flags of the file as another program may have left them, with ours on top.
        MaildirName name = record_->name;
        if (pendingUnread_ && name.HasFlag('S') == *pendingUnread_) name.SetFlag('S', !*pendingUnread_);
        const std::string subdir = name.hasInfo ? "cur" : record_->subdir;
        const std::string target = (folder_->Dir() / subdir / name.FileName()).native();
        if (target != path && ::rename(path.c_str(), target.c_str()) != 0) {
            Fail("Cannot save the item: " + std::string(std::strerror(errno)));
        }
        record_->name = std::move(name);
        record_->subdir = subdir;
    });
}

void ItemImpl::RewriteStoredFile()
{
    WithStoredFile([this](const std::string& path) {
        if (attachmentsChanged_) {
            // Written under the file's name only while the file has it: another program's
            // rename would otherwise leave the message twice.
            if (!NameExists(path)) Fail("The message file \"" + path + "\" has been renamed.");
            ApplyPendingToMessage();
            GMimeMessage* message = full_.get();
            WriteFileAtomicallyWith(
                folder_->Dir() / "tmp", path, [message](int fd) { return WriteMessageTo(message, fd); },
                MessageModeOf(path, *folder_));
        } else {
            // Only the Subject line changes; every other byte stays as it was.
            const std::string bytes =
                ReplaceHeader(ReadWholeFile(path), "Subject", EncodedHeaderText(*pendingSubject_));
            WriteFileAtomically(folder_->Dir() / "tmp", path, bytes, MessageModeOf(path, *folder_));
        }
    });
    if (context_.ahead) context_.ahead->Rewrote();
    if (!attachmentsChanged_ && full_) ApplyPendingToMessage();
    headers_.reset();
}

void ItemImpl::SaveToFile()
{
    // The flags first, by a rename, then the new content over the renamed file: a run killed
    // in between leaves the message once, under its new name.
    RenameToPendingFlags();
    if (attachmentsChanged_ || pendingSubject_) RewriteStoredFile();
}

void ItemImpl::Save()
{
    CheckAlive();
    if (!folder_) {
        // An item in no folder keeps its changes in memory until it is moved into one.
        ApplyPendingToMessage();
        pendingSubject_.reset();
        attachmentsChanged_ = false;
        return;
    }
    SaveToFile();
    pendingSubject_.reset();
    pendingUnread_.reset();
    attachmentsChanged_ = false;
    class_.reset();
}

ComPtr<IOutlookItem> ItemImpl::Copy()
{
    CheckAlive();
    if (!folder_) {
        ApplyPendingToMessage();
        return FromMessage(context_, ParseMessage(SerializeMessage(full_.get())));
    }
    std::string bytes;
    mode_t mode = 0;
    WithStoredFile([&](const std::string& path) {
        bytes = ReadWholeFile(path);
        mode = MessageModeOf(path, *folder_);
    });
    auto record = NewRecord(record_->name, record_->name.hasInfo ? "cur" : record_->subdir);
    WriteFileAtomically(folder_->Dir() / "tmp", folder_->PathOf(*record), bytes, mode);
    folder_->Append(record);
    return ForRecord(context_, folder_, record);
}

void ItemImpl::PlaceInFolder(const FolderStatePtr& target)
{
    // An item opened from a file becomes a message file of the folder.
    ApplyPendingToMessage();
    MaildirName name;
    name.SetFlag('S', !pendingUnread_.value_or(false));
    auto record = NewRecord(name, "cur");
    target->EnsureMaildir();
    GMimeMessage* message = full_.get();
    WriteFileAtomicallyWith(
        target->Dir() / "tmp", target->PathOf(*record), [message](int fd) { return WriteMessageTo(message, fd); },
        NewMessageMode(*target));
    folder_ = target;
    record_ = std::move(record);
    headers_.reset();  // read again from the file, which holds the pending changes
    pendingSubject_.reset();
    pendingUnread_.reset();
    attachmentsChanged_ = false;
    folder_->Append(record_);
    Register();
}

ComPtr<IOutlookItem> ItemImpl::MoveInto(const FolderStatePtr& target)
{
    if (target->Dir().empty()) Fail("The folder \"" + target->Path() + "\" cannot hold items.");
    // Read the target's list before the file arrives, so that the item is appended to it.
    target->Records();
    if (!folder_) {
        PlaceInFolder(target);
    } else if (target != folder_) {
        target->EnsureMaildir();
        const auto [name, subdir] = WithStoredFile([&](const std::string& from) {
            MaildirName moved = record_->name;
            const std::string movedSubdir = moved.hasInfo ? "cur" : record_->subdir;
            MoveMessageFile(from, *target, movedSubdir, moved);
            return std::pair(std::move(moved), movedSubdir);
        });
        folder_->Remove(record_.get());
        record_->name = name;
        record_->subdir = subdir;
        folder_ = target;
        folder_->Append(record_);
    }
    return ComPtr<IOutlookItem>::Retain(this);
}

ComPtr<IOutlookItem> ItemImpl::Move(const ComPtr<IMAPIFolder>& folder)
{
    CheckAlive();
    if (!folder) Fail("No folder to move the item to.");
    return MoveInto(StateOf(folder));
}

void ItemImpl::Delete()
{
    CheckAlive();
    if (!folder_) {
        gone_ = true;
        full_.reset();
        return;
    }
    Store& store = folder_->OwnerStore();
    if (!store.IsDeletedItems(*folder_)) {
        MoveInto(store.DeletedItems());
        return;
    }
    WithStoredFile([](const std::string& path) {
        if (::unlink(path.c_str()) != 0) Fail("Cannot delete \"" + path + "\": " + std::strerror(errno));
    });
    folder_->Remove(record_.get());
    gone_ = true;
    headers_.reset();
    full_.reset();
    attachments_.reset();
}

void ItemImpl::SaveAs(const std::string& path, int type)
{
    CheckAlive();
    switch (type) {
    case olTXT:
        WriteUserFile(path, TextFileOf(*this));
        return;
    case olHTML:
        WriteUserFile(path, HtmlFileOf(*this));
        return;
    case olRFC822:
        // The message as stored, byte for byte: line ends are not touched, since a part sent
        // as binary may hold line feeds that are data. A message of a folder is copied from
        // its file, never held whole.
        if (folder_) {
            WithStoredFile([&path](const std::string& stored) { CopyUserFile(stored, path); });
        } else {
            WriteUserFile(path, StoredBytes());
        }
        return;
    case olMSG:
#ifdef TROVANTA_HAVE_MSGFILE
        SaveAsMessageFile(path);
        return;
#else
        Fail("Saving an item as a .msg file is not available in this build.");
#endif
    default:
        Fail("The save type " + std::to_string(type) + " is not supported.");
    }
}

#ifdef TROVANTA_HAVE_MSGFILE
void ItemImpl::SaveAsMessageFile(const std::string& path)
{
    MsgItemProperties props;
    props.read = !Unread();
    props.deliveryTime = ReceivedTime();
    props.creationTime = CreationTime();
    props.isPost = Class() == olPost;
    if (!SaveConvertedAhead(path, props)) {
        GMimeMessage* message = FullMessage();
        WriteUserFileWith(path, [&](int fd) {
            WriteMsgFileTo(message, props, fd, path);
            return true;
        });
    }
    if (folder_ && context_.ahead) {
        const std::filesystem::path dir = std::filesystem::path(path).parent_path();
        context_.ahead->PrepareNext(ConvertAhead::Kind::messageFile, folder_, dir.empty() ? "." : dir.string());
    }
}

bool ItemImpl::SaveConvertedAhead(const std::string& path, const MsgItemProperties& props)
{
    // Only the message as stored was converted: an item with changes of its own is not.
    if (!folder_ || !context_.ahead || pendingSubject_ || pendingUnread_ || attachmentsChanged_) return false;
    UniqueFd converted = context_.ahead->TakeFile(record_->name.unique, folder_->FileOf(*record_), props);
    if (converted.Get() < 0) return false;
    try {
        PlaceUnnamedUserFile(std::move(converted), path);
        return true;
    } catch (const ComError&) {
        return false;  // converted again in place, which reports what fails
    }
}
#endif

}  // namespace outlook
