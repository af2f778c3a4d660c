#pragma once
// The command-bar lookups the framework shares: the host's command bars, a toolbar by
// name, a control by type and tag, and the table of control types with the names that the
// add-in's lists ("CtrlTags", the control sinks) use.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/com/Dispatch.h"
#include "platform/office/CommandBars.h"

struct TControlTypeInfo {
    const char* Name;
    int OfficeType;
};

/// By type index: button, edit box, drop-down list, combo box, popup.
inline constexpr std::array<TControlTypeInfo, 5> ControlTypes{{
    {"BTN", office::msoControlButton},
    {"EDT", office::msoControlEdit},
    {"DROPDOWN", office::msoControlDropdown},
    {"CBOX", office::msoControlComboBox},
    {"POPUP", office::msoControlPopup},
}};

/// The Office control type of a type name (compared in upper case); a name not in the table
/// gives the button type.
int ControlTypeFromTag(std::string_view Name);
/// The name of a type index; raises Exception for an index outside the table.
std::string ControlTypeName(std::uint8_t TypeIndex);
/// The Office control type of a type index; raises Exception for an index outside the table.
int OfficeControlType(std::uint8_t TypeIndex);

/// The command bars of host `Host` whose application object is `App`: for Outlook those of
/// its active window when an inspector or an explorer is open (failures raise); none for
/// MapPoint; for every other host the application's own (any failure gives none). An
/// application object that offers no Office members of its host (the mail client's object
/// model started without windows) has none.
ComPtr<office::_CommandBars> GetHostCommandBars(std::uint8_t Host, const ComPtr<IDispatch>& App);

/// The first bar whose Name, or else whose NameLocal, equals `Name` in upper case; none
/// when there is no such bar or no command bars.
ComPtr<office::CommandBar> FindCommandBar(const std::string& Name,
                                          const ComPtr<office::_CommandBars>& CommandBars);

/// The first control of Office control type `Type` and tag `Tag`; none when none is found.
ComPtr<office::CommandBarControl> FindControlByTag(const ComPtr<office::_CommandBars>& CommandBars, int Type,
                                                   const std::string& Tag);

/// True when `a` and `b` are the same object (compared by their IUnknown).
bool SameObject(IUnknown* a, IUnknown* b);
