#pragma once
// Interfaces of the external MAPI utility server: safe items that stand for a mail or
// post item, and the current mail user.

#include <cstdint>
#include <string>

#include "platform/outlook/Outlook.h"

namespace qelutils {

/// MAPI property tags the system reads and writes.
inline constexpr std::uint32_t PR_SUBJECT = 0x0037001E;
inline constexpr std::uint32_t PR_TRANSPORT_MESSAGE_HEADERS = 0x007D001E;
inline constexpr std::uint32_t PR_SENDER_EMAIL_ADDRESS = 0x0C1F001E;
inline constexpr std::uint32_t PR_SMTP_ADDRESS = 0x39FE001E;

/// "QELutils.QELSMI" and "QELutils.QELSPI": set `SetItem`, then use the safe item in the
/// item's place; every item member answers as on the item.
struct ISafeItem : outlook::IOutlookItem {
    static constexpr IID iid = MakeGuid("{6A1C0101-7E3B-4C55-9A0E-0B4D2F6E1101}");
    using Base = outlook::IOutlookItem;
    virtual void SetItem(const ComPtr<outlook::IOutlookItem>& item) = 0;
    virtual ComPtr<outlook::IOutlookItem> Item() = 0;
    /// A MAPI property of the item as text (the sender's address, the header block).
    virtual std::string Fields(std::uint32_t tag) = 0;
};

/// "QELutils.QELSCU": the current mail user.
struct ISafeCurrentUser : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0102-7E3B-4C55-9A0E-0B4D2F6E1102}");
    using Base = IUnknown;
    virtual std::string Name() = 0;
    virtual void CleanUp() = 0;
};

}  // namespace qelutils
