#pragma once
// The type library of the add-in library "QELaddin": its identity, its interfaces and
// classes, and the version information of the library. The library registers it under
// HKEY_CLASSES_ROOT\TypeLib and \Interface, where the platform keeps what a type library
// resource carries.

#include <cstdint>
#include <string>

#include "platform/com/Dispatch.h"

namespace typelib {

inline constexpr char kLibraryName[] = "QELaddin";
inline constexpr char kHelpString[] = "QELaddin Library";
inline constexpr int kMajorVersion = 1;
inline constexpr int kMinorVersion = 0;
inline constexpr GUID LIBID_QELaddin = MakeGuid("{A43D79BB-B1E6-4BE7-9BDA-73B99BA6AC55}");
/// The imported library of OLE Automation's standard types.
inline constexpr GUID LIBID_stdole = MakeGuid("{00020430-0000-0000-C000-000000000046}");

inline constexpr IID IID_ITrovanta = MakeGuid("{39119841-BC1B-40C3-BED8-36011629EF55}");
inline constexpr CLSID CLASS_Trovanta = MakeGuid("{7AF0C65C-3F6D-455B-99C3-FF9B146A6898}");
inline constexpr IID IID_IQEL_OptionPage = MakeGuid("{8A352136-C4B1-4708-899D-C0BB90D9D565}");
inline constexpr IID DIID_IQEL_OptionPageEvents = MakeGuid("{715EE40D-7E8D-45D6-BECB-4B2D766FCF73}");
inline constexpr CLSID CLASS_QEL_OptionPage = MakeGuid("{9BE6ECEA-A005-4CFF-84B7-4D040A194C89}");

/// ProgIDs: library name, ".", class name.
inline constexpr char kTrovantaProgID[] = "QELaddin.Trovanta";
inline constexpr char kOptionPageProgID[] = "QELaddin.QEL_OptionPage";

/// Miscellaneous status of the page's control: OLEMISC_SIMPLEFRAME | OLEMISC_ACTSLIKELABEL.
inline constexpr std::uint32_t kOptionPageMiscStatus = 0x12000;

enum TxActiveFormBorderStyle : std::int32_t { afbNone = 0, afbSingle = 1, afbSunken = 2, afbRaised = 3 };
enum TxPrintScale : std::int32_t { poNone = 0, poProportional = 1, poPrintToFit = 2 };
enum TxMouseButton : std::int32_t { mbLeft = 0, mbRight = 1, mbMiddle = 2 };

/// The dispatch interface of the add-in object; no members of its own.
struct ITrovanta : IDispatch {
    static constexpr IID iid = IID_ITrovanta;
    using Base = IDispatch;
};

/// The dual interface of the rules page: the standard properties of an active form.
struct IQEL_OptionPage : IDispatch {
    static constexpr IID iid = IID_IQEL_OptionPage;
    using Base = IDispatch;
};

/// Version information of the library.
struct VersionInfo {
    const char* fileVersion;
    const char* productVersion;
    const char* fileDescription;
    const char* internalName;
    const char* originalFilename;
    const char* productName;
};
inline constexpr VersionInfo kVersionInfo{
    "4.1.0.1", "4.1", "Extract e-mails and attachments from Outlook", "QELaddin", "QELaddin.dll", "Trovanta"};

/// Writes the type library's keys: the library with its version, help string and path, and
/// each of its interfaces with the library it belongs to.
void RegisterTypeLibrary(const std::string& libraryPath);
/// Removes them; what is missing is no error.
void UnregisterTypeLibrary();
/// Writes the keys the page's class carries as a control: its type library, version and
/// miscellaneous status.
void RegisterControlKeys(const CLSID& clsid, std::uint32_t miscStatus);

}  // namespace typelib
