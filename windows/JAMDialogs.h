#pragma once
// The folder browse dialog and the shell routines beside it.
//
// TJamBrowseForFolder is a component placed on a form (a QObject the form owns). Its Execute
// shows a modal dialog with a tree of folders and leaves the chosen item's file-system path in
// Path. The editors that ask for a disk folder hold one each.
//
// The shell routines convert between paths, special folders and item-id lists. An item-id list
// names one item of the namespace the dialog shows, from the desktop down, laid out as the
// shell lays out its own: items of a 16-bit little-endian size (the two size bytes included)
// and their data, ended by a 16-bit zero. Three kinds of list exist:
//   - the desktop itself: the list of no item; its file-system path is the desktop folder;
//   - a virtual folder (the computer, the control panel, the printers, the network, the trash):
//     one item standing for that special folder; it has no file-system path;
//   - a file-system item: an item for the root "/", then one item per name of its path.
// "None" (no list at all) is std::nullopt: what the shell gives where it finds nothing.

#include <QObject>
#include <QPointer>

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

class QDialog;
class QWidget;

/// What the browse dialog offers and returns.
enum TJamBrowseFlag : unsigned {
    bfNewDialogStyle,      ///< a resizable dialog
    bfFileSystemOnly,      ///< only items with a file-system path can be chosen
    bfBrowseIncludeFiles,  ///< the tree shows files as well as folders
    bfEditBox,             ///< an edit box where the user may type the item's name
};

/// A set of TJamBrowseFlag.
class TJamBrowseFlags {
public:
    constexpr TJamBrowseFlags() noexcept = default;
    constexpr TJamBrowseFlags(std::initializer_list<TJamBrowseFlag> flags) noexcept
    {
        for (const TJamBrowseFlag flag : flags) Include(flag);
    }
    constexpr bool Contains(TJamBrowseFlag flag) const noexcept { return (bits_ & Bit(flag)) != 0; }
    constexpr TJamBrowseFlags& Include(TJamBrowseFlag flag) noexcept
    {
        bits_ |= Bit(flag);
        return *this;
    }
    constexpr TJamBrowseFlags& Exclude(TJamBrowseFlag flag) noexcept
    {
        bits_ &= ~Bit(flag);
        return *this;
    }
    constexpr bool Empty() const noexcept { return bits_ == 0; }
    friend constexpr bool operator==(TJamBrowseFlags, TJamBrowseFlags) noexcept = default;

private:
    static constexpr unsigned Bit(TJamBrowseFlag flag) noexcept { return 1u << static_cast<unsigned>(flag); }
    unsigned bits_ = 0;
};

/// The shell's browse-request flags, one per TJamBrowseFlag.
namespace bif {
inline constexpr unsigned BIF_RETURNONLYFSDIRS = 0x1;
inline constexpr unsigned BIF_EDITBOX = 0x10;
inline constexpr unsigned BIF_NEWDIALOGSTYLE = 0x40;
inline constexpr unsigned BIF_BROWSEINCLUDEFILES = 0x4000;
}  // namespace bif

/// The request flags of a set, joined.
constexpr unsigned BrowseFlagBits(TJamBrowseFlags Flags) noexcept
{
    unsigned bits = 0;
    if (Flags.Contains(bfNewDialogStyle)) bits |= bif::BIF_NEWDIALOGSTYLE;
    if (Flags.Contains(bfFileSystemOnly)) bits |= bif::BIF_RETURNONLYFSDIRS;
    if (Flags.Contains(bfBrowseIncludeFiles)) bits |= bif::BIF_BROWSEINCLUDEFILES;
    if (Flags.Contains(bfEditBox)) bits |= bif::BIF_EDITBOX;
    return bits;
}

/// The roots a tree can start at: the special folders of the shell, each standing for the
/// special-folder number (CSIDL) of the same name, and SF_FILESYSTEMFOLDER, a folder given by
/// its path (which falls back to the computer).
enum TJamShellFolder : int {
    SF_FILESYSTEMFOLDER,
    SF_BITBUCKET,
    SF_CONTROLS,
    SF_DESKTOP,
    SF_DESKTOPDIRECTORY,
    SF_DRIVES,
    SF_FONTS,
    SF_NETHOOD,
    SF_NETWORK,
    SF_PERSONAL,
    SF_PRINTERS,
    SF_PROGRAMS,
    SF_RECENT,
    SF_SENDTO,
    SF_STARTMENU,
    SF_STARTUP,
    SF_TEMPLATES,
    SF_FAVORITES,
    SF_COMMON_STARTMENU,
    SF_COMMON_STARTUP,
    SF_COMMON_DESKTOPDIRECTORY,
    SF_APPDATA,
    SF_PRINTHOOD,
    SF_COMMON_FAVORITES,
    SF_INTERNET_CACHE,
    SF_COOKIES,
    SF_HISTORY,
    SF_COMMON_PROGRAMS,
};
inline constexpr int ShellFolderCount = SF_COMMON_PROGRAMS + 1;

/// The special-folder number (CSIDL) a root stands for.
int ShellFolderCsidl(TJamShellFolder Folder) noexcept;

/// An item-id list (see the top of this file).
struct TItemIdList {
    std::string Bytes;  ///< the items and the terminating 16-bit zero
    friend bool operator==(const TItemIdList&, const TItemIdList&) = default;
};
/// An item-id list or none.
using PItemIDList = std::optional<TItemIdList>;

// ---- Shell routines ----------------------------------------------------------------------

/// The list of a special folder; none for a folder this system lacks (or whose folder does
/// not exist on disk). SF_DESKTOP gives the empty list.
PItemIDList GetSpecialFolderPidl(TJamShellFolder Folder);

/// The first special folder (in enumeration order, SF_BITBUCKET on) whose list equals List;
/// SF_FILESYSTEMFOLDER when none does.
TJamShellFolder GetSpecialFolderIndex(const PItemIDList& List);

/// The file-system path of the item; "" for none, a virtual folder or a malformed list. The
/// desktop gives the desktop folder.
std::string GetPidlPath(const PItemIDList& List);

/// Parses Path into a list. Folder none means the desktop; a relative Path is taken below the
/// folder's file-system path. An empty Path gives the desktop's (empty) list. Anything that
/// does not exist, a folder without a path, or a path of more than 260 characters gives none.
PItemIDList PathToPidl(const PItemIDList& Folder, const std::string& Path);

/// The name the dialog shows for the item: the last name of a file-system path ("/" for the
/// root), the name of a virtual folder, "Desktop" for the desktop; "" for none.
std::string GetPidlDisplayName(const PItemIDList& List);

/// Size bytes, zero-filled (so a list of no item when Size is 2).
PItemIDList PidlAlloc(std::size_t Size);
/// Bytes of the list up to and including its terminator; 0 for none.
std::size_t PidlSize(const PItemIDList& List);
/// A list of PidlSize bytes with the same content; none for none.
PItemIDList PidlCopy(const PItemIDList& List);
/// The number of items before the terminator; 0 for none.
std::size_t PidlCount(const PItemIDList& List);

/// True when a chosen Path names a file-system item: it holds a path separator, which the
/// display name of an item without a path (such as the computer) never does.
bool HasFileSystemPath(const std::string& Path);

/// The window that owns a dialog of Component: its owner when that is a window (a form); the
/// same question for the owner when that is a control inside a window; else the main window.
QWidget* GetOwnerWindowHandle(const QObject* Component);
/// The main window of the application: none without an application, else its visible main
/// window, else its active window (which may be none).
QWidget* GetMainWindowHandle();
/// Moves Window to the middle of its screen (integer halves) without changing its size.
void CenterDialogWindow(QWidget* Window);

// ---- The component -----------------------------------------------------------------------

/// The folder browse dialog, a component owned by the form it is placed on.
class TJamBrowseForFolder : public QObject {
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(TJamBrowseForFolder& Sender)>;

    /// Options [bfNewDialogStyle], DialogLeft and DialogTop -1, RootedAt SF_DESKTOP.
    explicit TJamBrowseForFolder(QObject* Owner = nullptr);
    ~TJamBrowseForFolder() override;

    /// The text shown above the tree.
    const std::string& Title() const noexcept { return FTitle; }
    void SetTitle(std::string Value) { FTitle = std::move(Value); }

    /// bfNewDialogStyle and bfFileSystemOnly never hold together: the first wins.
    TJamBrowseFlags Options() const noexcept { return FOptions; }
    void SetOptions(TJamBrowseFlags Value) noexcept;

    /// A folder that roots the tree when it exists; setting it sets RootedAt to
    /// SF_FILESYSTEMFOLDER.
    const std::string& RootedAtFileSystemFolder() const noexcept { return FRootedAtFileSystemFolder; }
    void SetRootedAtFileSystemFolder(std::string Value);

    /// The root of the tree otherwise.
    TJamShellFolder RootedAt() const noexcept { return FRootedAt; }
    void SetRootedAt(TJamShellFolder Value) noexcept { FRootedAt = Value; }

    /// Before Execute the item to select first ("" the desktop); after a successful Execute
    /// the chosen item's path, or its display name when it has no path.
    const std::string& Path() const noexcept { return FPath; }
    void SetPath(std::string Value) { FPath = std::move(Value); }

    /// The dialog's screen position; 0 or less in either centres it. While the dialog is
    /// open they read and move the dialog itself.
    int DialogLeft() const;
    void SetDialogLeft(int Value);
    int DialogTop() const;
    void SetDialogTop(int Value);

    /// Shows the dialog modally; true when the user chose an item.
    bool Execute();

    /// The open dialog, or none outside Execute.
    QDialog* DialogWindow() const noexcept;

    TNotifyEvent OnShow;   ///< before the dialog opens
    TNotifyEvent OnClose;  ///< after it closed, also when Execute fails

private:
    void DialogInitialized(QDialog* Window);
    void PositionDialog();

    std::string FTitle;
    TJamBrowseFlags FOptions{bfNewDialogStyle};
    std::string FRootedAtFileSystemFolder;
    TJamShellFolder FRootedAt = SF_DESKTOP;
    std::string FPath;
    int FDialogLeft = -1;
    int FDialogTop = -1;
    QPointer<QDialog> FWindow;
};
