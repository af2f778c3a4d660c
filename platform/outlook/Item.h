#pragma once
// One mail, post, report or meeting item: a message file of a folder, or a message opened
// from a saved file (no folder). Headers are read first and the whole message only when a
// member needs it; both go when the object does.

#include <gmime/gmime.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/outlook/ConvertAhead.h"
#include "platform/outlook/Errors.h"
#include "platform/outlook/GLibPtr.h"
#include "platform/outlook/MessageFiles.h"
#include "platform/outlook/Mime.h"
#include "platform/outlook/Objects.h"
#include "platform/outlook/msg/MsgFile.h"

namespace outlook {

/// An attachment of an item as the item's attachment list holds it.
struct AttachmentState {
    AttachmentRef ref;
    std::string displayName;  ///< set when `Add` was given one
    bool removed = false;
};
using AttachmentStatePtr = std::shared_ptr<AttachmentState>;

class ItemImpl final : public ComObject<IOutlookItem, IItemAccess> {
public:
    /// The object for a folder's record: the one alive for it, else a new one.
    static ComPtr<IOutlookItem> ForRecord(const ObjectContext& context, const FolderStatePtr& folder,
                                          const RecordPtr& record);
    /// A new item in no folder holding `message`.
    static ComPtr<IOutlookItem> FromMessage(const ObjectContext& context, GObjectPtr<GMimeMessage> message);

    ItemImpl(ObjectContext context, FolderStatePtr folder, RecordPtr record);
    ItemImpl(ObjectContext context, GObjectPtr<GMimeMessage> message);
    ~ItemImpl() override;

    // IOutlookObject, IOutlookItem
    int Class() override;
    ComPtr<IOutlookObject> Parent() override;
    std::string Subject() override;
    void SetSubject(const std::string& subject) override;
    std::string SenderName() override;
    std::string SenderEmailAddress() override;
    std::string TransportHeaders() override;
    std::string Body() override;
    std::string HTMLBody() override;
    bool Sent() override;
    TDateTime SentOn() override;
    TDateTime ReceivedTime() override;
    TDateTime CreationTime() override;
    bool Unread() override;
    void SetUnread(bool unread) override;
    ComPtr<IRecipients> Recipients() override;
    ComPtr<IAttachments> Attachments() override;
    void Save() override;
    ComPtr<IOutlookItem> Copy() override;
    ComPtr<IOutlookItem> Move(const ComPtr<IMAPIFolder>& folder) override;
    void Delete() override;
    void SaveAs(const std::string& path, int type) override;
    // IItemAccess
    ItemImpl& Impl() override { return *this; }

    /// The whole message, parsed on first use.
    GMimeMessage* FullMessage();
    const std::vector<AttachmentStatePtr>& AttachmentList();
    void RemoveAttachment(const AttachmentStatePtr& attachment);
    AttachmentStatePtr AddAttachment(const std::string& path, const std::optional<std::string>& displayName);
    /// The message as stored (the file, or the message itself for an item in no folder).
    std::string StoredBytes();
    std::optional<std::time_t> SentTime();

private:
    /// The header fields: of the stored file (read once while the item lives) for an item of a
    /// folder, else of the message as it is now. Valid until the next call.
    const HeaderFields& Headers();
    /// The sender from the header fields, read once per reading of the fields.
    const std::optional<Address>& Sender();
    /// Runs `act` on the stored file under the name it was last known by, without looking
    /// first. When that fails and no file has that name any more (another program changed the
    /// message's flags or moved it from new/ to cur/), finds the file again by its unique name
    /// and runs `act` on it once more; every access of the file goes this way. A message that
    /// is in the folder no more raises kMessageGone.
    template <class Act>
    auto WithStoredFile(Act&& act);
    [[noreturn]] void FailGone() const;
    void CheckAlive() const;
    int ComputeClass();
    class BodySource;
    /// Whether the bodies of this message were read ahead of it (ConvertAhead); asked once.
    bool TakeBodiesAhead();
    /// The walk reads bodies: those of the messages it comes to next are read ahead.
    void PrepareBodiesAhead();
    /// Reads the headers when they are not read yet, with the search for a calendar part that
    /// the class needs: whether one was found, or nothing when the headers were read before.
    std::optional<bool> ReadHeadersAndLookForCalendar();
    void SaveAsMessageFile(const std::string& path);
    /// Puts the file that was converted ahead for this item in place; false when there is none.
    bool SaveConvertedAhead(const std::string& path, const MsgItemProperties& props);
    void SaveToFile();
    void RenameToPendingFlags();
    void RewriteStoredFile();
    void ApplyPendingToMessage();
    ComPtr<IOutlookItem> MoveInto(const FolderStatePtr& target);
    void PlaceInFolder(const FolderStatePtr& target);
    void Register();

    ObjectContext context_;
    FolderStatePtr folder_;  // null for an item in no folder
    RecordPtr record_;
    std::optional<HeaderFields> headers_;
    std::optional<std::optional<Address>> sender_;  // read from headers_ once
    GObjectPtr<GMimeMessage> full_;
    std::optional<std::string> html_;  // the HTML body, taken from full_ once
    std::optional<BodyTexts> aheadBodies_;  // read ahead from the stored file
    bool bodiesSought_ = false;             // aheadBodies_ was asked for
    std::optional<int> class_;
    std::optional<std::string> pendingSubject_;
    std::optional<bool> pendingUnread_;
    std::optional<std::vector<AttachmentStatePtr>> attachments_;
    bool attachmentsChanged_ = false;
    bool gone_ = false;
};

/// How often a file is looked for again in one access, for a file that another program keeps
/// renaming while we look.
inline constexpr int kRefindsPerAccess = 16;

template <class Act>
auto ItemImpl::WithStoredFile(Act&& act)
{
    CheckAlive();
    std::string known = folder_->FileOf(*record_);
    for (int refinds = 0;; ++refinds) {
        try {
            return act(known);
        } catch (const ComError&) {
            if (refinds == kRefindsPerAccess || NameExists(known)) throw;
        }
        known = folder_->Refind(*record_);
        if (known.empty()) FailGone();
    }
}

/// When a message arrived: from the delivery time in its unique name (none for "") where that
/// holds one, else from its first "Received" header; nothing when neither tells.
std::optional<std::time_t> ArrivalTimeOf(std::string_view unique, const HeaderFields& headers);

/// The message of the file `file`, opened at `path`: parsed from the file, or read whole and
/// parsed from memory where that fails. Raises ComError when the file cannot be read.
GObjectPtr<GMimeMessage> ParseStoredMessage(const std::string& path, UniqueFd file);

/// The headers that an item of a folder reads first, from the message file at `path`.
/// Raises ComError when the file cannot be read.
ClassHeaders ReadClassHeaders(const std::string& path);

ComPtr<IRecipients> MakeRecipients(const HeaderFields& headers);
/// The live attachment collection of `item`.
ComPtr<IAttachments> MakeAttachments(ComPtr<IOutlookItem> holder, ItemImpl& item);

/// The texts that SaveAs writes.
std::string TextFileOf(ItemImpl& item);
std::string HtmlFileOf(ItemImpl& item);

}  // namespace outlook
