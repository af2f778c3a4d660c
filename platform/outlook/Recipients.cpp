// Recipients of an item and their address entries.

#include "platform/outlook/Item.h"

namespace outlook {

namespace {

/// An address entry; its MAPI object is the entry itself, whose `Address` is the SMTP address.
class AddressEntryImpl final : public ComObject<IAddressEntry> {
public:
    explicit AddressEntryImpl(outlook::Address address) : address_(std::move(address)) {}
    std::string Name() override { return address_.name.empty() ? address_.address : address_.name; }
    std::string Address() override { return address_.address; }
    ComPtr<IUnknown> MAPIOBJECT() override { return ComPtr<IUnknown>::Retain(static_cast<IAddressEntry*>(this)); }

private:
    outlook::Address address_;
};

class RecipientImpl final : public ComObject<IRecipient> {
public:
    RecipientImpl(outlook::Address address, int type) : address_(std::move(address)), type_(type) {}
    std::string Name() override { return address_.name.empty() ? address_.address : address_.name; }
    std::string Address() override { return address_.address; }
    int Type() override { return type_; }
    ComPtr<IAddressEntry> AddressEntry() override { return MakeCom<AddressEntryImpl>(address_); }

private:
    outlook::Address address_;
    int type_;
};

class RecipientsImpl final : public ComObject<IRecipients> {
public:
    explicit RecipientsImpl(std::vector<ComPtr<IRecipient>> recipients) : recipients_(std::move(recipients)) {}
    int Count() override { return static_cast<int>(recipients_.size()); }
    ComPtr<IRecipient> Item(int index) override
    {
        CheckIndex(index, recipients_.size());
        return recipients_[static_cast<std::size_t>(index - 1)];
    }

private:
    std::vector<ComPtr<IRecipient>> recipients_;
};

}  // namespace

ComPtr<IRecipients> MakeRecipients(const HeaderFields& headers)
{
    std::vector<ComPtr<IRecipient>> recipients;
    const std::pair<GMimeAddressType, int> kinds[] = {
        {GMIME_ADDRESS_TYPE_TO, olTo}, {GMIME_ADDRESS_TYPE_CC, olCC}, {GMIME_ADDRESS_TYPE_BCC, olBCC}};
    for (const auto& [kind, type] : kinds) {
        for (auto& address : AddressesOf(headers, kind)) {
            recipients.push_back(MakeCom<RecipientImpl>(std::move(address), type));
        }
    }
    return MakeCom<RecipientsImpl>(std::move(recipients));
}

ComPtr<IRecipients> ItemImpl::Recipients() { return MakeRecipients(Headers()); }

}  // namespace outlook
