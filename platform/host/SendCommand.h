#pragma once
// The mail client's "Send" command. This mail client has no mail transport: a sent item ends
// in the default store's sent items ("Sent Items", else "Sent" or "Sent Messages" as other mail
// programs name it), as it would after a real send.

#include "platform/host/MailClient.h"

namespace host {

enum class SendResult { Sent, Cancelled };

/// Raises the item-send event for `item`. Unless a handler cancelled the send, stores the
/// item with the changes the handlers made and moves it to the sent items (a "Sent Items"
/// folder is created when the store has none). A handler that fails stops the send; its error passes on.
SendResult SendItem(MailClient& client, const ComPtr<outlook::IOutlookItem>& item);

}  // namespace host
