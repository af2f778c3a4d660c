#pragma once
// The classes of the external server library.

#include <vector>

#include "platform/com/ServerModule.h"

namespace qelutils {

inline constexpr CLSID CLSID_QELSCU = MakeGuid("{6A1C0201-7E3B-4C55-9A0E-0B4D2F6E2001}");
inline constexpr CLSID CLSID_QELSMI = MakeGuid("{6A1C0202-7E3B-4C55-9A0E-0B4D2F6E2002}");
inline constexpr CLSID CLSID_QELSPI = MakeGuid("{6A1C0203-7E3B-4C55-9A0E-0B4D2F6E2003}");
inline constexpr char kQELSCU[] = "QELutils.QELSCU";
inline constexpr char kQELSMI[] = "QELutils.QELSMI";
inline constexpr char kQELSPI[] = "QELutils.QELSPI";

/// The table the library's entry points serve: the current user, the safe mail item,
/// the safe post item and the MAPI utility class.
std::vector<ServerClass> ServerClasses();

}  // namespace qelutils
