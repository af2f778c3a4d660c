#include "platform/qelutils/SafeItem.h"

#include "platform/com/ComError.h"
#include "platform/qelutils/MapiProperties.h"

namespace qelutils {

outlook::IOutlookItem& SafeItem::Target() const
{
    if (!item_) throw ComError(E_UNEXPECTED, "The safe item has no item: set Item first");
    return *item_;
}

std::string SafeItem::Fields(std::uint32_t tag)
{
    switch (tag) {
        case PR_SENDER_EMAIL_ADDRESS:
            return Target().SenderEmailAddress();
        case PR_TRANSPORT_MESSAGE_HEADERS:
            return Target().TransportHeaders();
        default:
            RaisePropertyNotFound(tag);
    }
}

}  // namespace qelutils
