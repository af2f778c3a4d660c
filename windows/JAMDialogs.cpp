#include "windows/JAMDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>

#include <array>
#include <filesystem>
#include <vector>

#include "jobs/FileTools.h"
#include "platform/runtime/Text.h"
#include "platform/shell/ShellFolders.h"
#include "windows/JamBrowseDialog.h"

namespace fs = std::filesystem;

namespace {

constexpr std::array<int, ShellFolderCount> kCsidls = {
    shell::csidl::Drives,  // SF_FILESYSTEMFOLDER falls back to the computer
    shell::csidl::BitBucket,       shell::csidl::Controls,
    shell::csidl::Desktop,         shell::csidl::DesktopDirectory,
    shell::csidl::Drives,          shell::csidl::Fonts,
    shell::csidl::NetHood,         shell::csidl::Network,
    shell::csidl::Personal,        shell::csidl::Printers,
    shell::csidl::Programs,        shell::csidl::Recent,
    shell::csidl::SendTo,          shell::csidl::StartMenu,
    shell::csidl::Startup,         shell::csidl::Templates,
    shell::csidl::Favorites,       shell::csidl::CommonStartMenu,
    shell::csidl::CommonStartup,   shell::csidl::CommonDesktopDirectory,
    shell::csidl::AppData,         shell::csidl::PrintHood,
    shell::csidl::CommonFavorites, shell::csidl::InternetCache,
    shell::csidl::Cookies,         shell::csidl::History,
    shell::csidl::CommonPrograms,
};
static_assert(kCsidls[SF_DESKTOP] == 0x00 && kCsidls[SF_PERSONAL] == 0x05 &&
              kCsidls[SF_COMMON_PROGRAMS] == 0x17);
static_assert(BrowseFlagBits({bfNewDialogStyle, bfFileSystemOnly, bfBrowseIncludeFiles, bfEditBox}) ==
              0x4051);

// ---- The items of a list ------------------------------------------------------------------

constexpr char kFileSystemItem = 'F';  // data: one name of a path, or "/" for the root
constexpr char kVirtualItem = 'V';     // data: the special-folder number of a virtual folder

struct Item {
    char Kind;
    std::string Data;
};

/// Splits a list into its items; nothing when a size runs past the bytes or no terminator
/// follows.
std::optional<std::vector<Item>> ItemsOf(const TItemIdList& List)
{
    const std::string& bytes = List.Bytes;
    std::vector<Item> items;
    std::size_t offset = 0;
    while (offset + 2 <= bytes.size()) {
        const std::size_t size =
            static_cast<unsigned char>(bytes[offset]) |
            (static_cast<std::size_t>(static_cast<unsigned char>(bytes[offset + 1])) << 8);
        if (size == 0) return items;
        if (size < 3 || offset + size > bytes.size()) return std::nullopt;
        items.push_back({bytes[offset + 2], bytes.substr(offset + 3, size - 3)});
        offset += size;
    }
    return std::nullopt;
}

std::optional<std::vector<Item>> ItemsOf(const PItemIDList& List)
{
    if (!List) return std::nullopt;
    return ItemsOf(*List);
}

void AppendItem(std::string& bytes, char kind, const std::string& data)
{
    const std::size_t size = data.size() + 3;
    bytes += static_cast<char>(size & 0xFF);
    bytes += static_cast<char>((size >> 8) & 0xFF);
    bytes += kind;
    bytes += data;
}

TItemIdList ListOf(const std::vector<Item>& items)
{
    TItemIdList list;
    for (const Item& item : items) AppendItem(list.Bytes, item.Kind, item.Data);
    list.Bytes.append(2, '\0');
    return list;
}

bool IsFileSystem(const std::vector<Item>& items)
{
    return !items.empty() && items.front().Kind == kFileSystemItem && items.front().Data == "/";
}

bool IsVirtual(const std::vector<Item>& items)
{
    return items.size() == 1 && items.front().Kind == kVirtualItem && items.front().Data.size() == 1;
}

std::string JoinedPath(const std::vector<Item>& items)
{
    std::string path;
    for (std::size_t i = 1; i < items.size(); ++i) path += "/" + items[i].Data;
    return path.empty() ? "/" : path;
}

/// The path the shell parses: absolute, without "." and "..", without a trailing "/".
std::string NormalPath(const std::string& path)
{
    std::string normal = fs::path(path).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    return normal;
}

/// The shell's "find data" of a one-item list: only a real file-system item has it.
bool HasFindData(const std::vector<Item>& items)
{
    std::error_code ec;
    return IsFileSystem(items) && fs::exists(JoinedPath(items), ec);
}

/// The longest path the shell's conversion buffer takes: 260 UTF-16 units and the terminator.
constexpr std::size_t kMaxPathUnits = 260;

}  // namespace

int ShellFolderCsidl(TJamShellFolder Folder) noexcept
{
    const int index = static_cast<int>(Folder);
    return index >= 0 && index < ShellFolderCount ? kCsidls[static_cast<std::size_t>(index)]
                                                  : shell::csidl::Drives;
}

PItemIDList GetSpecialFolderPidl(TJamShellFolder Folder)
{
    const int csidl = ShellFolderCsidl(Folder);
    const shell::SpecialFolder folder = shell::SpecialFolderOf(csidl);
    switch (folder.Kind) {
        case shell::SpecialFolderKind::Root:
            return ListOf({});
        case shell::SpecialFolderKind::Virtual:
            return ListOf({{kVirtualItem, std::string(1, static_cast<char>(csidl))}});
        case shell::SpecialFolderKind::FileSystem:
            return PathToPidl(std::nullopt, folder.Path);
        case shell::SpecialFolderKind::Missing:
            break;
    }
    return std::nullopt;
}

TJamShellFolder GetSpecialFolderIndex(const PItemIDList& List)
{
    const std::optional<std::vector<Item>> items = ItemsOf(List);
    if (!items) return SF_FILESYSTEMFOLDER;
    for (int index = SF_BITBUCKET; index < ShellFolderCount; ++index) {
        const auto folder = static_cast<TJamShellFolder>(index);
        const std::optional<std::vector<Item>> special = ItemsOf(GetSpecialFolderPidl(folder));
        if (special && ListOf(*special) == ListOf(*items)) return folder;
    }
    return SF_FILESYSTEMFOLDER;
}

std::string GetPidlPath(const PItemIDList& List)
{
    const std::optional<std::vector<Item>> items = ItemsOf(List);
    if (!items) return {};
    if (items->size() < 2) {
        const TJamShellFolder special = GetSpecialFolderIndex(List);
        // Virtual items (the computer, the control panel, the trash) have no find data.
        if (special != SF_DESKTOP && special != SF_PERSONAL && !HasFindData(*items)) return {};
    }
    if (items->empty()) return shell::SpecialFolderOf(shell::csidl::Desktop).Path;
    return IsFileSystem(*items) ? JoinedPath(*items) : std::string();
}

PItemIDList PathToPidl(const PItemIDList& Folder, const std::string& Path)
{
    if (Path.empty()) return ListOf({});
    if (Utf8ToUtf16LE(Path).size() / 2 > kMaxPathUnits) return std::nullopt;
    std::string full = Path;
    if (!Path.starts_with('/')) {
        const std::string base = GetPidlPath(Folder ? Folder : ListOf({}));
        if (base.empty()) return std::nullopt;
        full = base + "/" + Path;
    }
    full = NormalPath(full);
    std::error_code ec;
    if (!fs::exists(full, ec)) return std::nullopt;
    std::vector<Item> items{{kFileSystemItem, "/"}};
    for (const fs::path& name : fs::path(full).relative_path())
        items.push_back({kFileSystemItem, name.string()});
    return ListOf(items);
}

std::string GetPidlDisplayName(const PItemIDList& List)
{
    const std::optional<std::vector<Item>> items = ItemsOf(List);
    if (!items) return {};
    if (items->empty()) return shell::SpecialFolderOf(shell::csidl::Desktop).DisplayName;
    if (IsVirtual(*items))
        return shell::SpecialFolderOf(static_cast<unsigned char>(items->front().Data[0])).DisplayName;
    return IsFileSystem(*items) ? items->back().Data : std::string();
}

PItemIDList PidlAlloc(std::size_t Size)
{
    return TItemIdList{std::string(Size, '\0')};
}

std::size_t PidlSize(const PItemIDList& List)
{
    const std::optional<std::vector<Item>> items = ItemsOf(List);
    if (!items) return 0;
    std::size_t size = 2;
    for (const Item& item : *items) size += item.Data.size() + 3;
    return size;
}

PItemIDList PidlCopy(const PItemIDList& List)
{
    const std::size_t size = PidlSize(List);
    if (size == 0) return std::nullopt;
    return TItemIdList{List->Bytes.substr(0, size)};
}

std::size_t PidlCount(const PItemIDList& List)
{
    const std::optional<std::vector<Item>> items = ItemsOf(List);
    return items ? items->size() : 0;
}

bool HasFileSystemPath(const std::string& Path)
{
    return Path.find('/') != std::string::npos;
}

// ---- Windows -----------------------------------------------------------------------------

QWidget* GetOwnerWindowHandle(const QObject* Component)
{
    const QObject* owner = Component != nullptr ? Component->parent() : nullptr;
    while (const auto* widget = qobject_cast<const QWidget*>(owner)) {
        if (widget->isWindow()) return const_cast<QWidget*>(widget);
        owner = widget->parentWidget();
    }
    return GetMainWindowHandle();
}

QWidget* GetMainWindowHandle()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(window) != nullptr && window->isVisible()) return window;
    return QApplication::activeWindow();
}

void CenterDialogWindow(QWidget* Window)
{
    if (Window == nullptr) return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->geometry();
    const QSize size = Window->frameGeometry().size();
    Window->move(area.x() + area.width() / 2 - size.width() / 2,
                 area.y() + area.height() / 2 - size.height() / 2);
}

// ---- The component -----------------------------------------------------------------------

TJamBrowseForFolder::TJamBrowseForFolder(QObject* Owner) : QObject(Owner) {}

TJamBrowseForFolder::~TJamBrowseForFolder() = default;

QDialog* TJamBrowseForFolder::DialogWindow() const noexcept
{
    return FWindow;
}

void TJamBrowseForFolder::SetOptions(TJamBrowseFlags Value) noexcept
{
    if (Value.Contains(bfNewDialogStyle)) Value.Exclude(bfFileSystemOnly);
    if (Value.Contains(bfFileSystemOnly)) Value.Exclude(bfNewDialogStyle);
    FOptions = Value;
}

void TJamBrowseForFolder::SetRootedAtFileSystemFolder(std::string Value)
{
    FRootedAtFileSystemFolder = std::move(Value);
    FRootedAt = SF_FILESYSTEMFOLDER;
}

int TJamBrowseForFolder::DialogLeft() const
{
    return FWindow ? FWindow->pos().x() : FDialogLeft;
}

void TJamBrowseForFolder::SetDialogLeft(int Value)
{
    if (FWindow)
        FWindow->move(Value, FWindow->pos().y());
    else
        FDialogLeft = Value;
}

int TJamBrowseForFolder::DialogTop() const
{
    return FWindow ? FWindow->pos().y() : FDialogTop;
}

void TJamBrowseForFolder::SetDialogTop(int Value)
{
    if (FWindow)
        FWindow->move(FWindow->pos().x(), Value);
    else
        FDialogTop = Value;
}

void TJamBrowseForFolder::PositionDialog()
{
    if (!FWindow) return;
    if (FDialogLeft <= 0 || FDialogTop <= 0)
        CenterDialogWindow(FWindow);
    else
        FWindow->move(FDialogLeft, FDialogTop);
}

void TJamBrowseForFolder::DialogInitialized(QDialog* Window)
{
    FWindow = Window;
    PositionDialog();
    // A path that cannot be parsed leaves the dialog's own first selection; "~/" starts at home.
    auto* dialog = qobject_cast<TJamBrowseDialog*>(Window);
    if (const PItemIDList initial = PathToPidl(std::nullopt, ExpandHomeFolder(FPath));
        initial && dialog != nullptr)
        dialog->SelectItem(*initial);
}

bool TJamBrowseForFolder::Execute()
{
    std::error_code ec;
    PItemIDList root;
    if (!FRootedAtFileSystemFolder.empty() && fs::is_directory(FRootedAtFileSystemFolder, ec))
        root = PathToPidl(std::nullopt, FRootedAtFileSystemFolder);
    if (!root) root = GetSpecialFolderPidl(FRootedAt);
    if (!root) root = TItemIdList{std::string(2, '\0')};  // browse from the desktop

    const auto finish = [this] {
        FWindow = nullptr;
        if (OnClose) OnClose(*this);
    };
    try {
        if (OnShow) OnShow(*this);
        TJamBrowseDialog dialog(GetOwnerWindowHandle(this), *root, FTitle, FOptions);
        dialog.OnInitialized = [this](QDialog* window) { DialogInitialized(window); };
        const PItemIDList chosen = dialog.Run();
        if (chosen) {
            FPath = GetPidlPath(chosen);
            if (FPath.empty()) FPath = GetPidlDisplayName(chosen);
        }
        finish();
        return chosen.has_value();
    } catch (...) {
        finish();
        throw;
    }
}
