#include "platform/uxtheme/ThemeClasses.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <mutex>
#include <span>
#include <unordered_map>

namespace uxtheme::lib {

namespace {

struct ClassSchema {
    const char* Name;
    std::span<const int> States;  // states per part, part 1 first
};

constexpr int kButton[] = {5, 8, 12, 2, 1};
constexpr int kEdit[] = {7, 1};
constexpr int kRebar[] = {1, 1, 6, 4, 4};
constexpr int kStatus[] = {1, 1, 1};
constexpr int kTab[] = {5, 5, 5, 5, 5, 5, 5, 5, 1, 1};
constexpr int kToolbar[] = {6, 6, 6, 6, 6, 6};
constexpr int kTrackbar[] = {1, 1, 5, 5, 5, 5, 5, 5, 1, 1};

const std::array<ClassSchema, 24> kSchema{{
    {"button", kButton},     {"clock", {}},      {"combobox", {}}, {"edit", kEdit},       {"explorerbar", {}},
    {"header", {}},          {"listview", {}},   {"menu", {}},     {"page", {}},          {"progress", {}},
    {"rebar", kRebar},       {"scrollbar", {}},  {"spin", {}},     {"startpanel", {}},    {"status", kStatus},
    {"tab", kTab},           {"taskband", {}},   {"taskbar", {}},  {"toolbar", kToolbar}, {"tooltip", {}},
    {"trackbar", kTrackbar}, {"traynotify", {}}, {"treeview", {}}, {"window", {}},
}};

const ClassSchema& SchemaOf(ThemeClass themeClass)
{
    return kSchema[static_cast<std::size_t>(themeClass)];
}

struct HandleTable {
    std::mutex Mutex;
    std::unordered_map<const ThemeData*, std::unique_ptr<ThemeData>> Open;
};

HandleTable& Handles()
{
    static HandleTable table;
    return table;
}

}  // namespace

std::optional<ThemeClass> FindThemeClass(std::u16string_view classList)
{
    const QString list = QString::fromUtf16(classList.data(), static_cast<qsizetype>(classList.size()));
    for (const QString& name : list.split(u';', Qt::SkipEmptyParts)) {
        for (std::size_t i = 0; i < kSchema.size(); ++i) {
            if (name.trimmed().compare(QLatin1String(kSchema[i].Name), Qt::CaseInsensitive) == 0)
                return static_cast<ThemeClass>(i);
        }
    }
    return std::nullopt;
}

int PartCount(ThemeClass themeClass)
{
    return static_cast<int>(SchemaOf(themeClass).States.size());
}

int StateCount(ThemeClass themeClass, int part)
{
    if (part <= 0 || part > PartCount(themeClass)) return 1;
    return SchemaOf(themeClass).States[static_cast<std::size_t>(part - 1)];
}

bool HasPart(ThemeClass themeClass, int part)
{
    return part >= 0 && part <= PartCount(themeClass);
}

int NormalizedState(ThemeClass themeClass, int part, int state)
{
    return (state < 1 || state > StateCount(themeClass, part)) ? 1 : state;
}

HTHEME RegisterTheme(ThemeClass themeClass, QObject* window)
{
    auto theme = std::make_unique<ThemeData>(ThemeData{themeClass, window});
    HTHEME handle = theme.get();
    HandleTable& table = Handles();
    const std::lock_guard lock(table.Mutex);
    table.Open.emplace(handle, std::move(theme));
    return handle;
}

bool ReleaseTheme(HTHEME theme)
{
    HandleTable& table = Handles();
    const std::lock_guard lock(table.Mutex);
    return table.Open.erase(theme) != 0;
}

const ThemeData* LookUpTheme(HTHEME theme)
{
    HandleTable& table = Handles();
    const std::lock_guard lock(table.Mutex);
    const auto it = table.Open.find(theme);
    return it == table.Open.end() ? nullptr : it->second.get();
}

}  // namespace uxtheme::lib
