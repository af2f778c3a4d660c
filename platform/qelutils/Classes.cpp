#include "platform/qelutils/Classes.h"

#include "platform/qelutils/CurrentUser.h"
#include "platform/qelutils/MAPIUtilsObject.h"
#include "platform/qelutils/SafeItem.h"

namespace qelutils {

std::vector<ServerClass> ServerClasses()
{
    return {
        {CLSID_QELSCU, kQELSCU, "QELutils current user",
         [](ServerModule& m) -> ComPtr<IUnknown> { return m.MakeUnknown<SafeCurrentUser>(); }},
        {CLSID_QELSMI, kQELSMI, "QELutils safe mail item",
         [](ServerModule& m) -> ComPtr<IUnknown> { return m.MakeUnknown<SafeItem>(); }},
        {CLSID_QELSPI, kQELSPI, "QELutils safe post item",
         [](ServerModule& m) -> ComPtr<IUnknown> { return m.MakeUnknown<SafeItem>(); }},
        {CLSID_MAPIUtils, kMAPIUtilsProgID, "QELutils MAPI utilities",
         [](ServerModule& m) -> ComPtr<IUnknown> { return m.MakeUnknown<MAPIUtilsObject>(); }},
    };
}

}  // namespace qelutils
