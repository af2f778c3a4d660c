#include "platform/qelutils/MapiProperties.h"

#include <fmt/format.h>

#include "platform/com/ComError.h"
#include "platform/qelutils/MAPIUtils.h"
#include "platform/qelutils/QELutils.h"

namespace qelutils {
namespace {

template <class T>
ComPtr<T> Query(IUnknown& object)
{
    ComPtr<T> result;
    object.QueryInterface(T::iid, result.PutVoid());
    return result;
}

}  // namespace

void RaisePropertyNotFound(std::uint32_t tag)
{
    throw ComError(MAPI_E_NOT_FOUND, fmt::format("The property 0x{:08X} is not available for this object", tag));
}

std::string GetTextProperty(IUnknown& object, std::uint32_t tag)
{
    if (tag == PR_SMTP_ADDRESS) {
        if (const auto entry = Query<outlook::IAddressEntry>(object)) return entry->Address();
        if (const auto recipient = Query<outlook::IRecipient>(object)) return recipient->Address();
    } else if (const auto item = Query<outlook::IOutlookItem>(object)) {
        switch (tag) {
            case PR_SUBJECT:
                return item->Subject();
            case PR_SENDER_EMAIL_ADDRESS:
                return item->SenderEmailAddress();
            case PR_TRANSPORT_MESSAGE_HEADERS:
                return item->TransportHeaders();
            default:
                break;
        }
    }
    RaisePropertyNotFound(tag);
}

void SetTextProperty(IUnknown& object, std::uint32_t tag, const std::string& value, bool save)
{
    const auto item = Query<outlook::IOutlookItem>(object);
    if (tag != PR_SUBJECT || !item) RaisePropertyNotFound(tag);
    item->SetSubject(value);
    if (save) item->Save();
}

}  // namespace qelutils
