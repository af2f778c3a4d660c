#pragma once
// The library's parts-and-states schema: the element classes a theme can be opened for, the parts
// each class draws and the number of states of each part; and the open theme handles.

#include <QPointer>

#include <optional>
#include <string_view>

#include "platform/uxtheme/UxThemeApi.h"

namespace uxtheme::lib {

enum class ThemeClass {
    Button,
    Clock,
    ComboBox,
    Edit,
    ExplorerBar,
    Header,
    ListView,
    Menu,
    Page,
    Progress,
    Rebar,
    ScrollBar,
    Spin,
    StartPanel,
    Status,
    Tab,
    TaskBand,
    TaskBar,
    Toolbar,
    Tooltip,
    Trackbar,
    TrayNotify,
    TreeView,
    Window,
};

/// The first class of a ";"-separated list that the library knows (names compared without case).
std::optional<ThemeClass> FindThemeClass(std::u16string_view classList);

/// The number of parts of a class (part 0, the class as a whole, is always there besides).
int PartCount(ThemeClass themeClass);
/// The number of states of a part; 1 for part 0.
int StateCount(ThemeClass themeClass, int part);

/// A part the class has; a state outside the part's states is read as the first one.
bool HasPart(ThemeClass themeClass, int part);
int NormalizedState(ThemeClass themeClass, int part, int state);

}  // namespace uxtheme::lib

namespace uxtheme {

/// An open theme: the class it was opened for and the window it was opened with.
struct ThemeData {
    lib::ThemeClass Class;
    QPointer<QObject> Window;
};

}  // namespace uxtheme

namespace uxtheme::lib {

HTHEME RegisterTheme(ThemeClass themeClass, QObject* window);
/// Closes a handle; false for a handle that is not open.
bool ReleaseTheme(HTHEME theme);
/// The theme behind a handle, or none for a handle that is not open (closed or never given out).
const ThemeData* LookUpTheme(HTHEME theme);

}  // namespace uxtheme::lib
