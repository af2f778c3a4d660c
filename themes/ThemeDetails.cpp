// Detail mapping of the theme services: a control family's detail value becomes the (part, state)
// pair of the element class. A value that lies in a run gives the run's part and its position in
// the run, counted from 1, as the state; any other value gives part 0 (the class as a whole) and
// the value plus one as the state.

#include <span>

#include "themes/ThemeSrv.h"

namespace themes {

namespace {

struct Run {
    int First;
    int Last;
    int Part;
};

constexpr Run kButtonRuns[] = {{2, 6, 1}, {7, 14, 2}, {15, 26, 3}, {27, 28, 4}, {29, 29, 5}};
constexpr Run kEditRuns[] = {{2, 8, 1}, {9, 9, 2}};
constexpr Run kRebarRuns[] = {{2, 2, 1}, {3, 3, 2}, {4, 9, 3}, {10, 13, 4}, {14, 17, 5}};
constexpr Run kStatusRuns[] = {{2, 2, 1}, {3, 3, 2}, {4, 4, 3}};
constexpr Run kTabRuns[] = {{2, 6, 1},   {7, 11, 2},  {12, 16, 3}, {17, 21, 4}, {22, 26, 5},
                            {27, 31, 6}, {32, 36, 7}, {37, 41, 8}, {42, 42, 9}, {43, 43, 10}};
constexpr Run kToolbarRuns[] = {{2, 7, 1}, {8, 13, 2}, {14, 19, 3}, {20, 25, 4}, {26, 31, 5}, {32, 37, 6}};
constexpr Run kTrackbarRuns[] = {{2, 2, 1},   {3, 3, 2},   {4, 8, 3},   {9, 13, 4},  {14, 18, 5},
                                 {19, 23, 6}, {24, 28, 7}, {29, 33, 8}, {34, 34, 9}, {35, 35, 10}};

constexpr ElementDetails Map(ThemeElement element, std::span<const Run> runs, std::uint8_t detail)
{
    for (const Run& run : runs) {
        if (detail >= run.First && detail <= run.Last)
            return ElementDetails{element, run.Part, detail - run.First + 1};
    }
    return ElementDetails{element, 0, detail + 1};
}

static_assert(Map(ThemeElement::teButton, kButtonRuns, 27) == ElementDetails{ThemeElement::teButton, 4, 1});
static_assert(Map(ThemeElement::teButton, kButtonRuns, 28) == ElementDetails{ThemeElement::teButton, 4, 2});
static_assert(Map(ThemeElement::teTab, kTabRuns, 43) == ElementDetails{ThemeElement::teTab, 10, 1});
static_assert(Map(ThemeElement::teTrackBar, kTrackbarRuns, 34) ==
              ElementDetails{ThemeElement::teTrackBar, 9, 1});
static_assert(Map(ThemeElement::teStatus, kStatusRuns, 1) == ElementDetails{ThemeElement::teStatus, 0, 2});
static_assert(Map(ThemeElement::teToolBar, kToolbarRuns, 5) == ElementDetails{ThemeElement::teToolBar, 1, 4});

}  // namespace

const std::array<const char16_t*, ThemeElementCount> ThemeElementClassNames = {
    u"button",   u"clock",      u"combobox", u"edit",       u"explorerbar", u"header",
    u"listview", u"menu",       u"page",     u"progress",   u"rebar",       u"scrollbar",
    u"spin",     u"startpanel", u"status",   u"tab",        u"taskband",    u"taskbar",
    u"toolbar",  u"tooltip",    u"trackbar", u"traynotify", u"treeview",    u"window",
};

ElementDetails ButtonDetails(std::uint8_t detail)
{
    return Map(ThemeElement::teButton, kButtonRuns, detail);
}

ElementDetails EditDetails(std::uint8_t detail)
{
    return Map(ThemeElement::teEdit, kEditRuns, detail);
}

ElementDetails RebarDetails(std::uint8_t detail)
{
    return Map(ThemeElement::teRebar, kRebarRuns, detail);
}

ElementDetails StatusDetails(std::uint8_t detail)
{
    return Map(ThemeElement::teStatus, kStatusRuns, detail);
}

ElementDetails TabDetails(std::uint8_t detail)
{
    return Map(ThemeElement::teTab, kTabRuns, detail);
}

ElementDetails ToolbarDetails(std::uint8_t detail)
{
    return Map(ThemeElement::teToolBar, kToolbarRuns, detail);
}

ElementDetails TrackbarDetails(std::uint8_t detail)
{
    return Map(ThemeElement::teTrackBar, kTrackbarRuns, detail);
}

}  // namespace themes
