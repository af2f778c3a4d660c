#pragma once
// The MAPI utility class of the external server: a dual interface (typed methods that
// return result codes, and IDispatch) with a new-mail event fired through a connection
// point. Callers raise ComError for a failure code; the server's message is in the
// thread's error info.

#include <cstdint>

#include "platform/com/ConnectionPoint.h"
#include "platform/com/Dispatch.h"
#include "platform/qelutils/QELutils.h"

namespace qelutils {

inline constexpr CLSID CLSID_MAPIUtils = MakeGuid("{465698C2-5138-4DCC-84B9-F7E23B9BB44E}");
inline constexpr char kMAPIUtilsProgID[] = "QELutils.MAPIUtils";

/// The event interface: DISPID 1 carries the new item (an outlook::IOutlookItem as
/// VT_UNKNOWN); sinks ignore other DISPIDs.
inline constexpr IID DIID_IMAPIUtilsEvents = MakeGuid("{359A062F-CDA8-4A9C-9B28-588446D35098}");
inline constexpr DISPID DISPID_NewMail = 1;

/// The failure code of a property the server does not know for the object given.
inline constexpr HRESULT MAPI_E_NOT_FOUND = MakeHResult(0x8004010F);

/// DISPIDs of the methods, in the order of the interface.
enum MAPIUtilsDispid : DISPID {
    DISPID_GetMAPIProperty = 1,
    DISPID_SetMAPIProperty = 2,
    DISPID_Shutdown = 9,
};

struct IMAPIUtils : IDispatch {
    static constexpr IID iid = MakeGuid("{D45B0772-5801-4E61-9CBA-84120557A4D7}");
    using Base = IDispatch;

    /// A property of a MAPI object as text: PR_SMTP_ADDRESS of an address entry's
    /// MAPIOBJECT; PR_SUBJECT, PR_SENDER_EMAIL_ADDRESS and PR_TRANSPORT_MESSAGE_HEADERS of
    /// an item. MAPI_E_NOT_FOUND for any other.
    virtual HRESULT GetMAPIProperty(IUnknown* object, std::uint32_t tag, Variant* value) = 0;
    /// Sets a property of an item (PR_SUBJECT) on that very item object and, with `save`,
    /// stores the item. `result` receives 0.
    virtual HRESULT SetMAPIProperty(IUnknown* object, std::uint32_t tag, const Variant& value, bool save,
                                    std::int32_t* result) = 0;
    /// Members of the interface the system does not call; each answers E_NOTIMPL.
    virtual HRESULT Reserved3() = 0;
    virtual HRESULT Reserved4() = 0;
    virtual HRESULT Reserved5() = 0;
    virtual HRESULT Reserved6() = 0;
    virtual HRESULT Reserved7() = 0;
    virtual HRESULT Reserved8() = 0;
    /// Stops the new-mail watcher and lets go of the mail client's objects.
    virtual HRESULT Shutdown() = 0;
};

}  // namespace qelutils
