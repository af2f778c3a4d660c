#pragma once
// The mail client's object model as the system uses it: typed interfaces whose methods
// return values and raise ComError on failure. The implementation in this folder works on
// Maildir stores; the system's code sees only these interfaces.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/com/Unknown.h"
#include "platform/runtime/DateTime.h"

namespace outlook {

/// Values of `Class`.
enum ObjectClass : int {
    olApplication = 0,
    olNamespace = 1,
    olFolder = 2,
    olMail = 43,
    olPost = 45,
    olReport = 46,
    olMeetingRequest = 53,
};

/// Save types of `SaveAs`.
enum SaveType : int {
    olTXT = 0,
    olMSG = 3,
    olHTML = 5,
    olRFC822 = 1024,
};

/// Recipient types.
enum RecipientType : int { olTo = 1, olCC = 2, olBCC = 3 };

/// Attachment types.
enum AttachmentType : int { olByValue = 1, olEmbeddedItem = 5 };

/// `GetDefaultFolder` argument for the Inbox.
inline constexpr int olFolderInbox = 6;

struct IMAPIFolder;
struct IOutlookItem;

/// Anything that has a `Class` and a `Parent` (folders, the namespace, items).
struct IOutlookObject : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0001-7E3B-4C55-9A0E-0B4D2F6E1001}");
    using Base = IUnknown;
    virtual int Class() = 0;
    /// The object above this one: a folder's parent folder, the namespace above a
    /// top-level folder, an item's folder; empty for the namespace itself.
    virtual ComPtr<IOutlookObject> Parent() = 0;
};

struct IFolders : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0002-7E3B-4C55-9A0E-0B4D2F6E1002}");
    using Base = IUnknown;
    virtual int Count() = 0;
    /// 1-based.
    virtual ComPtr<IMAPIFolder> Item(int index) = 0;
    /// Creates a subfolder and returns it.
    virtual ComPtr<IMAPIFolder> Add(const std::string& name) = 0;
};

/// The items of a folder, the selection of an explorer: a live collection whose
/// `Count` follows moves, copies and deletes made while it is walked.
struct IItems : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0003-7E3B-4C55-9A0E-0B4D2F6E1003}");
    using Base = IUnknown;
    virtual int Count() = 0;
    /// 1-based.
    virtual ComPtr<IOutlookItem> Item(int index) = 0;
};

struct IMAPIFolder : IOutlookObject {
    static constexpr IID iid = MakeGuid("{6A1C0004-7E3B-4C55-9A0E-0B4D2F6E1004}");
    using Base = IOutlookObject;
    virtual std::string Name() = 0;
    virtual std::string EntryID() = 0;
    virtual std::string StoreID() = 0;
    virtual ComPtr<IItems> Items() = 0;
    virtual ComPtr<IFolders> Folders() = 0;
};

struct IAddressEntry : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0005-7E3B-4C55-9A0E-0B4D2F6E1005}");
    using Base = IUnknown;
    virtual std::string Name() = 0;
    virtual std::string Address() = 0;
    /// The entry's MAPI object, for IMAPIUtils::GetMAPIProperty.
    virtual ComPtr<IUnknown> MAPIOBJECT() = 0;
};

struct IRecipient : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0006-7E3B-4C55-9A0E-0B4D2F6E1006}");
    using Base = IUnknown;
    virtual std::string Name() = 0;
    virtual std::string Address() = 0;
    virtual int Type() = 0;
    virtual ComPtr<IAddressEntry> AddressEntry() = 0;
};

struct IRecipients : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0007-7E3B-4C55-9A0E-0B4D2F6E1007}");
    using Base = IUnknown;
    virtual int Count() = 0;
    virtual ComPtr<IRecipient> Item(int index) = 0;
};

struct IAttachment : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0008-7E3B-4C55-9A0E-0B4D2F6E1008}");
    using Base = IUnknown;
    virtual std::string Filename() = 0;
    virtual std::string DisplayName() = 0;
    virtual int Type() = 0;
    /// Writes the decoded content (an attached e-mail as a message file).
    virtual void SaveAsFile(const std::string& path) = 0;
    /// Leaves the collection at once; reaches the stored message at the item's `Save`.
    virtual void Delete() = 0;
};

struct IAttachments : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0009-7E3B-4C55-9A0E-0B4D2F6E1009}");
    using Base = IUnknown;
    virtual int Count() = 0;
    virtual ComPtr<IAttachment> Item(int index) = 0;
    /// Attaches a copy of the file (the bytes are read during the call) at the end,
    /// or at `position` when given; `displayName` defaults to the file's name.
    virtual ComPtr<IAttachment> Add(const std::string& path, int type = olByValue,
                                    std::optional<int> position = std::nullopt,
                                    std::optional<std::string> displayName = std::nullopt) = 0;
};

/// A mail, post, report or meeting item. Members the engine does not use for a class
/// still answer (empty values), so reading an odd message never fails.
struct IOutlookItem : IOutlookObject {
    static constexpr IID iid = MakeGuid("{6A1C000A-7E3B-4C55-9A0E-0B4D2F6E100A}");
    using Base = IOutlookObject;
    virtual std::string Subject() = 0;
    virtual void SetSubject(const std::string& subject) = 0;
    virtual std::string SenderName() = 0;
    virtual std::string SenderEmailAddress() = 0;
    /// The header block of the message as received, lines ended by CR LF.
    virtual std::string TransportHeaders() = 0;
    virtual std::string Body() = 0;
    virtual std::string HTMLBody() = 0;
    virtual bool Sent() = 0;
    virtual TDateTime SentOn() = 0;
    virtual TDateTime ReceivedTime() = 0;
    virtual TDateTime CreationTime() = 0;
    virtual bool Unread() = 0;
    virtual void SetUnread(bool unread) = 0;
    virtual ComPtr<IRecipients> Recipients() = 0;
    virtual ComPtr<IAttachments> Attachments() = 0;
    /// Stores the changes made so far (subject, flags, attachments).
    virtual void Save() = 0;
    /// A copy in the same folder.
    virtual ComPtr<IOutlookItem> Copy() = 0;
    /// Moves the item and returns it in its new folder.
    virtual ComPtr<IOutlookItem> Move(const ComPtr<IMAPIFolder>& folder) = 0;
    /// To "Deleted Items" (the object then stands for the item there); inside it, for good.
    virtual void Delete() = 0;
    virtual void SaveAs(const std::string& path, int type) = 0;
};

struct IExplorer : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C000B-7E3B-4C55-9A0E-0B4D2F6E100B}");
    using Base = IUnknown;
    /// The shown folder, empty when none.
    virtual ComPtr<IMAPIFolder> CurrentFolder() = 0;
    virtual ComPtr<IItems> Selection() = 0;
};

struct IExplorers : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C000C-7E3B-4C55-9A0E-0B4D2F6E100C}");
    using Base = IUnknown;
    virtual int Count() = 0;
    virtual ComPtr<IExplorer> Item(int index) = 0;
};

struct INameSpace : IOutlookObject {
    static constexpr IID iid = MakeGuid("{6A1C000D-7E3B-4C55-9A0E-0B4D2F6E100D}");
    using Base = IOutlookObject;
    /// Raises ComError when no such folder exists.
    virtual ComPtr<IMAPIFolder> GetFolderFromID(const std::string& entryID, const std::string& storeID) = 0;
    virtual ComPtr<IMAPIFolder> GetDefaultFolder(int folderType) = 0;
    /// The folder chosen by the user; empty when cancelled or without a user interface.
    virtual ComPtr<IMAPIFolder> PickFolder() = 0;
    /// The top-level folders, one per store.
    virtual ComPtr<IFolders> Folders() = 0;
};

struct IPropertyPages : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C000E-7E3B-4C55-9A0E-0B4D2F6E100E}");
    using Base = IUnknown;
    virtual int Count() = 0;
    /// Outlook creates the page by its ProgID.
    virtual void Add(const std::string& progID, const std::string& title) = 0;
};

/// Sink of the application's events.
struct IApplicationEvents : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C000F-7E3B-4C55-9A0E-0B4D2F6E100F}");
    using Base = IUnknown;
    /// Setting `cancel` stops the send.
    virtual void ItemSend(const ComPtr<IOutlookItem>& item, bool& cancel) = 0;
    virtual void OptionsPagesAdd(const ComPtr<IPropertyPages>& pages) = 0;
};

struct IOutlookApplication : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0010-7E3B-4C55-9A0E-0B4D2F6E1010}");
    using Base = IUnknown;
    /// Only "MAPI".
    virtual ComPtr<INameSpace> GetNamespace(const std::string& type) = 0;
    /// Empty when no window shows a folder.
    virtual ComPtr<IExplorer> ActiveExplorer() = 0;
    virtual ComPtr<IExplorers> Explorers() = 0;
    /// A new item in no folder, opened from a saved message file (RFC 822 or .msg, by content).
    virtual ComPtr<IOutlookItem> CreateItemFromTemplate(const std::string& path) = 0;
    virtual std::uint32_t AdviseEvents(const ComPtr<IApplicationEvents>& sink) = 0;
    virtual void UnadviseEvents(std::uint32_t cookie) = 0;
};

}  // namespace outlook
