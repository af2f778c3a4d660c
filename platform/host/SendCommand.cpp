#include "platform/host/SendCommand.h"

namespace host {

SendResult SendItem(MailClient& client, const ComPtr<outlook::IOutlookItem>& item)
{
    if (client.Host().RaiseItemSend(item)) return SendResult::Cancelled;
    item->Save();
    item->Move(client.Session().GetDefaultFolder(outlook::olFolderSentMail));
    return SendResult::Sent;
}

}  // namespace host
