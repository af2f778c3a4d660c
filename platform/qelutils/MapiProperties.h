#pragma once
// The MAPI properties the server answers, read from and written to the object model.

#include <cstdint>
#include <string>

#include "platform/com/Unknown.h"

namespace qelutils {

/// A text property of `object`: PR_SMTP_ADDRESS of an address entry (or a recipient);
/// PR_SUBJECT, PR_SENDER_EMAIL_ADDRESS and PR_TRANSPORT_MESSAGE_HEADERS of an item (or a
/// safe item). Raises ComError(MAPI_E_NOT_FOUND) for anything else.
std::string GetTextProperty(IUnknown& object, std::uint32_t tag);

/// Sets PR_SUBJECT of an item (or a safe item) on that very object and stores the item
/// when `save`. Raises ComError(MAPI_E_NOT_FOUND) for any other tag or object.
void SetTextProperty(IUnknown& object, std::uint32_t tag, const std::string& value, bool save);

/// ComError(MAPI_E_NOT_FOUND) naming the tag.
[[noreturn]] void RaisePropertyNotFound(std::uint32_t tag);

}  // namespace qelutils
