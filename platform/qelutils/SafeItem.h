#pragma once
// The safe mail and post items: stand-ins for an item that answer every member as the
// item does, plus `Fields` for the MAPI properties the item has no member for.

#include "platform/qelutils/QELutils.h"

namespace qelutils {

class SafeItem : public ComObject<ISafeItem> {
public:
    void SetItem(const ComPtr<outlook::IOutlookItem>& item) override { item_ = item; }
    ComPtr<outlook::IOutlookItem> Item() override { return item_; }
    /// PR_SENDER_EMAIL_ADDRESS and PR_TRANSPORT_MESSAGE_HEADERS; ComError(MAPI_E_NOT_FOUND)
    /// for any other tag.
    std::string Fields(std::uint32_t tag) override;

    int Class() override { return Target().Class(); }
    ComPtr<outlook::IOutlookObject> Parent() override { return Target().Parent(); }
    std::string Subject() override { return Target().Subject(); }
    void SetSubject(const std::string& subject) override { Target().SetSubject(subject); }
    std::string SenderName() override { return Target().SenderName(); }
    std::string SenderEmailAddress() override { return Target().SenderEmailAddress(); }
    std::string TransportHeaders() override { return Target().TransportHeaders(); }
    std::string Body() override { return Target().Body(); }
    std::string HTMLBody() override { return Target().HTMLBody(); }
    bool Sent() override { return Target().Sent(); }
    TDateTime SentOn() override { return Target().SentOn(); }
    TDateTime ReceivedTime() override { return Target().ReceivedTime(); }
    TDateTime CreationTime() override { return Target().CreationTime(); }
    bool Unread() override { return Target().Unread(); }
    void SetUnread(bool unread) override { Target().SetUnread(unread); }
    ComPtr<outlook::IRecipients> Recipients() override { return Target().Recipients(); }
    ComPtr<outlook::IAttachments> Attachments() override { return Target().Attachments(); }
    void Save() override { Target().Save(); }
    ComPtr<outlook::IOutlookItem> Copy() override { return Target().Copy(); }
    ComPtr<outlook::IOutlookItem> Move(const ComPtr<outlook::IMAPIFolder>& folder) override
    {
        return Target().Move(folder);
    }
    void Delete() override { Target().Delete(); }
    void SaveAs(const std::string& path, int type) override { Target().SaveAs(path, type); }

private:
    /// The item; raises ComError when none was set.
    outlook::IOutlookItem& Target() const;

    ComPtr<outlook::IOutlookItem> item_;
};

}  // namespace qelutils
