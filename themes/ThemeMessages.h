#pragma once
// The window messages the theme manager and its handlers speak, and how they travel in Qt.
//
// A message is a TMessage: its number, two parameters and a result. Messages that stand for a Qt
// event (a paint, a key press, the mouse entering) also carry that event. A message sent to an
// object travels as a MessageEvent, a Qt event whose type is QEvent::User plus the message number,
// so that an object's event filters (the manager's stubs) and its own event() see it.

#include <QEvent>
#include <QModelIndex>

#include <cstdint>
#include <optional>

#include "platform/uxtheme/UxThemeApi.h"

class QAbstractItemDelegate;
class QStyleOptionViewItem;

namespace themes {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct TMessage {
    unsigned Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
    /// The Qt event the message stands for, when there is one.
    QEvent* Event = nullptr;
    /// The MessageEvent that brought the message, while it is being handled.
    QEvent* Carrier = nullptr;
    /// Set once the message went to the control's own processing (for an event the stub received,
    /// Qt then delivers the event to the control after the handlers).
    bool PassedToControl = false;
};

// Messages of the system.
inline constexpr unsigned WM_NULL = 0x0000;
inline constexpr unsigned WM_DESTROY = 0x0002;
inline constexpr unsigned WM_PAINT = 0x000F;
inline constexpr unsigned WM_ERASEBKGND = 0x0014;
inline constexpr unsigned WM_NCCALCSIZE = 0x0083;
inline constexpr unsigned WM_NCPAINT = 0x0085;
inline constexpr unsigned WM_KEYDOWN = 0x0100;
inline constexpr unsigned WM_SYSKEYDOWN = 0x0104;
inline constexpr unsigned WM_CHANGEUISTATE = 0x0127;
inline constexpr unsigned WM_QUERYUISTATE = 0x0129;
inline constexpr unsigned WM_PRINTCLIENT = 0x0318;
inline constexpr unsigned WM_THEMECHANGED = uxtheme::WM_THEMECHANGED;
inline constexpr unsigned LVM_SETCOLUMNA = 0x101A;
inline constexpr unsigned LVM_INSERTCOLUMNA = 0x101B;

// Messages of the control framework; CN_ messages are notifications reflected back to a control.
inline constexpr unsigned CM_MOUSEENTER = 0xB013;
inline constexpr unsigned CM_MOUSELEAVE = 0xB014;
inline constexpr unsigned CM_CONTROLLISTCHANGE = 0xB02C;
inline constexpr unsigned CM_RECREATEWND = 0xB033;
inline constexpr unsigned CN_DRAWITEM = 0xBC2B;
inline constexpr unsigned CN_NOTIFY = 0xBC4E;
inline constexpr unsigned CN_KEYDOWN = 0xBD00;
inline constexpr unsigned CN_CTLCOLORBTN = 0xBD35;
inline constexpr unsigned CN_CTLCOLORSTATIC = 0xBD38;

// Messages of this system.
inline constexpr unsigned CM_MAINMANAGERFREED = 0xBCB2;
inline constexpr unsigned CM_REFUSETHEMING = 0xB7D0;

// Virtual keys.
inline constexpr unsigned VK_TAB = 9;
inline constexpr unsigned VK_MENU = 18;
inline constexpr unsigned VK_LEFT = 37;
inline constexpr unsigned VK_UP = 38;
inline constexpr unsigned VK_RIGHT = 39;
inline constexpr unsigned VK_DOWN = 40;

// Keyboard cues of a window (WM_CHANGEUISTATE, WM_QUERYUISTATE).
inline constexpr unsigned UIS_SET = 1;
inline constexpr unsigned UIS_CLEAR = 2;
inline constexpr unsigned UISF_HIDEFOCUS = 1;
inline constexpr unsigned UISF_HIDEACCEL = 2;

// Owner drawing: item state bits.
inline constexpr unsigned ODS_SELECTED = 0x1;
inline constexpr unsigned ODS_FOCUS = 0x10;
inline constexpr unsigned ODS_HOTLIGHT = 0x40;

// Custom drawing.
inline constexpr int NM_CUSTOMDRAW = -12;
inline constexpr unsigned CDDS_PREPAINT = 0x1;
inline constexpr unsigned CDDS_ITEMPREPAINT = 0x10001;
inline constexpr LRESULT CDRF_DODEFAULT = 0x0;
inline constexpr LRESULT CDRF_NOTIFYITEMDRAW = 0x20;
inline constexpr std::uintptr_t TBCD_TICS = 1;
inline constexpr std::uintptr_t TBCD_THUMB = 2;
inline constexpr std::uintptr_t TBCD_CHANNEL = 3;

// WM_NCCALCSIZE: redraw the whole window when it changes size.
inline constexpr LRESULT WVR_HREDRAW = 0x100;
inline constexpr LRESULT WVR_VREDRAW = 0x200;

// List-view columns.
inline constexpr unsigned LVCF_IMAGE = 0x10;

/// The stock "hollow" brush: a background that is not painted.
inline constexpr LRESULT NULL_BRUSH = 5;

constexpr WPARAM MAKELONG(unsigned low, unsigned high)
{
    return (low & 0xFFFF) | ((high & 0xFFFF) << 16);
}
constexpr unsigned LOWORD(std::uintptr_t value)
{
    return static_cast<unsigned>(value & 0xFFFF);
}
constexpr unsigned HIWORD(std::uintptr_t value)
{
    return static_cast<unsigned>((value >> 16) & 0xFFFF);
}

/// An owner-drawn item: a button face or one row of a list. For a list row, the view's own item
/// option and index go with it, so that the list's previous drawing can still be asked for.
struct DRAWITEMSTRUCT {
    int itemID = -1;
    unsigned itemState = 0;
    uxtheme::HDC hDC = nullptr;
    uxtheme::RECT rcItem;
    const QStyleOptionViewItem* ItemOption = nullptr;
    QModelIndex ItemIndex;
    /// The list's own item drawing when its rows are drawn by their owner (OnDrawItem with an
    /// owner-draw style), else none.
    QAbstractItemDelegate* OwnerDrawing = nullptr;
};

/// One stage of a control's custom drawing.
struct NMCUSTOMDRAW {
    int code = NM_CUSTOMDRAW;
    unsigned dwDrawStage = 0;
    uxtheme::HDC hdc = nullptr;
    uxtheme::RECT rc;
    std::uintptr_t dwItemSpec = 0;
    unsigned uItemState = 0;
};

/// A list-view column being set or inserted.
struct LVCOLUMN {
    unsigned mask = 0;
    int iImage = 0;
    int iSubItem = 0;
};

/// A message carried to an object as a Qt event.
class MessageEvent final : public QEvent {
public:
    explicit MessageEvent(const TMessage& message);
    TMessage Message;
    /// Set by the stub of a taken-over control once the message went through its handler.
    bool Dispatched = false;
    /// Set by a control that answers the message itself (in its event()); its default
    /// processing then does not run.
    bool Answered = false;
};

QEvent::Type MessageEventType(unsigned message);
/// The message number an event type stands for, if it stands for one.
std::optional<unsigned> MessageOfEventType(QEvent::Type type);

/// A message from the event that carries it: a MessageEvent's message, or the bare number of an
/// event of a message type (such as the library's theme change).
TMessage MessageFromEvent(QEvent* event, unsigned message);

/// The virtual key of a Qt key, for the keys the handlers look at (0 for the rest).
unsigned VirtualKeyOf(int qtKey);

}  // namespace themes
