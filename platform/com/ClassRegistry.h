#pragma once
// The registration of classes under HKEY_CLASSES_ROOT:
//
//   CLSID\{clsid}                  (default) = description
//   CLSID\{clsid}\InprocServer32   (default) = path of the server library, ThreadingModel = "Apartment"
//   CLSID\{clsid}\ProgID           (default) = ProgID
//   <ProgID>                       (default) = description
//   <ProgID>\CLSID                 (default) = {clsid}

#include <optional>
#include <string>

#include "platform/com/Guid.h"
#include "platform/com/HResult.h"

/// Absolute path of the shared library (or program) that holds `address`; raises Exception
/// when the address lies in none.
std::string LibraryPathOf(const void* address);

/// Writes the keys of one class in one commit.
void RegisterInprocServer(const CLSID& clsid, const std::string& progID, const std::string& description,
                          const std::string& libraryPath);
/// Removes the class's key and its ProgID's key; a ProgID that names another class by now
/// is left alone. Nothing to remove is no error.
void UnregisterInprocServer(const CLSID& clsid, const std::string& progID);

/// The class of a ProgID: REGDB_E_CLASSNOTREG when the ProgID is not registered,
/// CO_E_CLASSSTRING when its CLSID value is not a class identifier.
HRESULT CLSIDFromProgID(const std::string& progID, CLSID* clsid) noexcept;
/// A braced class identifier as it stands, any other text as a ProgID.
HRESULT CLSIDFromString(const std::string& text, CLSID* clsid) noexcept;
/// REGDB_E_CLASSNOTREG when the class has no ProgID.
HRESULT ProgIDFromCLSID(const CLSID& clsid, std::string* progID) noexcept;
/// The InprocServer32 path of a class; nullopt when the class has none.
std::optional<std::string> InprocServerPath(const CLSID& clsid);
