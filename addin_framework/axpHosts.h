#pragma once
// The Office hosts the framework knows, the set of hosts an add-in serves, the add-in's start
// modes, and the small helpers the framework shares: tokens of the registry lists, the host's
// version, and reaching a running host or starting one.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/Dispatch.h"

/// Host indexes.
enum : std::uint8_t {
    hiExcel = 0,
    hiWord = 1,
    hiOutlook = 2,
    hiPowerPoint = 3,
    hiAccess = 4,
    hiMSProject = 5,
    hiFrontPage = 6,
    hiMapPoint = 7,
    hiVisio = 8,
};
inline constexpr std::uint8_t HostCount = 9;

/// How a host's add-in key is formed.
enum class TAddInKeyForm { Office, Plain };

struct THostInfo {
    const char* Name;             ///< in the add-in key and in messages
    const char* ProgID;           ///< of the host's application object
    const char* ExeName;          ///< of the host's process
    const char* MainWindowClass;  ///< class name of its main window; "" when none
    TAddInKeyForm KeyForm;
};

inline constexpr std::array<THostInfo, HostCount> HostTable{{
    {"Excel", "Excel.Application", "EXCEL.EXE", "XLMAIN", TAddInKeyForm::Office},
    {"Word", "Word.Application", "WINWORD.EXE", "", TAddInKeyForm::Office},
    {"Outlook", "Outlook.Application", "OUTLOOK.EXE", "", TAddInKeyForm::Office},
    {"PowerPoint", "PowerPoint.Application", "POWERPNT.EXE", "", TAddInKeyForm::Office},
    {"Access", "Access.Application", "MSACCESS.EXE", "", TAddInKeyForm::Office},
    {"MS Project", "MSProject.Application", "WINPROJ.EXE", "", TAddInKeyForm::Office},
    {"FrontPage", "FrontPage.Application", "FRONTPG.EXE", "", TAddInKeyForm::Office},
    {"MapPoint", "MapPoint.Application", "MAPPOINT.EXE", "", TAddInKeyForm::Plain},
    {"Visio", "Visio.Application", "VISIO.EXE", "VISIOA", TAddInKeyForm::Plain},
}};

/// A set of host indexes: bit n set = host n enabled. An index above 15 is never a member.
using THostSet = std::uint16_t;

constexpr THostSet MakeHostSet(std::initializer_list<std::uint8_t> Hosts)
{
    THostSet set = 0;
    for (const std::uint8_t host : Hosts)
        if (host <= 15) set = static_cast<THostSet>(set | (1u << host));
    return set;
}

constexpr bool HostInSet(THostSet Set, unsigned Host)
{
    return Host <= 15 && (Set & (1u << Host)) != 0;
}

static_assert(MakeHostSet({hiOutlook}) == 4);

/// The add-in's start mode, kept in its add-in key's value "ADXStartMode".
enum TStartMode : std::uint8_t { smFirstStart = 0, smNormal = 1, smUninstall = 2 };

inline constexpr std::array<const char*, 3> StartModeNames{"FIRSTSTART", "NORMAL", "UNINSTALL"};

/// The start mode whose name equals `Text` in upper case; smFirstStart for any other text.
TStartMode StartModeFromString(std::string_view Text);

/// The next token of `Rest` up to `Separator`, trimmed; `Rest` loses the token and the
/// separator. A `Rest` without the separator is one token (Rest becomes ""); a blank `Rest`
/// gives "" and is left as it is.
std::string NextToken(char Separator, std::string& Rest);

/// The major version of the host program registered for `ProgID` (its LocalServer32);
/// 0 when any step fails.
int GetHostVersion(const std::string& ProgID);

/// The running instance of the class of `ProgID` as IDispatch; empty when none runs (or it
/// offers no IDispatch). Raises ComError when the ProgID is not registered.
ComPtr<IDispatch> GetRunningHostObject(const std::string& ProgID);

/// A new instance of the class of `ProgID` as IDispatch; empty when it cannot be made.
ComPtr<IDispatch> CreateHostObject(const std::string& ProgID);

/// The name under which Excel's start-up list takes one more entry, given the value names
/// of its options key: "OPEN" when none begins with "OPEN", else after the last one in
/// sorted order "OPEN1" (when that is "OPEN") or "OPEN<n+1>".
std::string NextExcelOpenName(const std::vector<std::string>& ValueNames);
