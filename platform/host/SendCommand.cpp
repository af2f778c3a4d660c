#include "platform/host/SendCommand.h"

namespace host {

SendResult SendItem(MailClient& client, const ComPtr<outlook::IOutlookItem>& item)
{
    if (client.Host().RaiseItemSend(item)) return SendResult::Cancelled;
    item->Save();
    const auto root = StoreRootOf(client.Session().GetDefaultFolder(outlook::olFolderInbox));
    item->Move(SubfolderNamed(*root, kSentItems));
    return SendResult::Sent;
}

}  // namespace host
