#pragma once
// The window procedure of a control as the theme manager sees it in Qt.
//
// Windows delivers messages to a control and the control framework reflects its parent's
// notifications back to it; Qt delivers events. The stub of a taken-over control turns each event
// into the messages that stand for it and hands them to the main manager's handler:
//
//   paint event        WM_ERASEBKGND (a device context on the control), then CN_CTLCOLORBTN or
//                      CN_CTLCOLORSTATIC for push buttons, check boxes, radio buttons and labels,
//                      then WM_PAINT, then WM_NCPAINT. The default processing of WM_PAINT is Qt's
//                      painting of the control; an owner-drawn (bit) button first gets CN_DRAWITEM,
//                      and a track bar gets its custom-draw stages (CN_NOTIFY) before it paints.
//   key press          WM_KEYDOWN, or WM_SYSKEYDOWN with Alt, the virtual key in WParam
//   enter / leave      CM_MOUSEENTER / CM_MOUSELEAVE (hot tracking)
//   resize             WM_NCCALCSIZE with WParam 1; the redraw bits in the result repaint it all
//   child polished /   CM_CONTROLLISTCHANGE (WParam the control, LParam 1 / 0), passed from
//   child removed      parent to parent up to the form
//   MessageEvent       its message (WM_THEMECHANGED, CM_RECREATEWND, WM_CHANGEUISTATE, ...)
//
// A check list box's rows are drawn by its item delegate; the manager's delegate sends each row
// as CN_DRAWITEM. Everything else the control receives goes to Qt untouched.

#include <QMetaObject>

#include <vector>

#include "themes/ThemeMessages.h"

class QAbstractItemDelegate;
class QWidget;

namespace themes {

class TWindowProcList;

/// The stub of a list's controls; true when the event has been dealt with.
bool TranslateControlEvent(TWindowProcList& list, QWidget* control, QEvent* event);

/// Sends a message through a control's window method (the stub when it is taken over) and returns
/// its result; the message holds the result and flags afterwards.
LRESULT SendControlMessage(QWidget* control, TMessage& message);
LRESULT SendControlMessage(QWidget* control, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
void PostControlMessage(QWidget* control, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);

/// What a control does with a message that no handler kept: its previous window method.
void DefaultWindowProc(QWidget* control, TMessage& message, QAbstractItemDelegate* previousDelegate);

/// RecreateWnd: when the control has a window, CM_RECREATEWND destroys it to be created again.
void RecreateWindow(QWidget* control);
/// HandleNeeded: creates the window of a control whose window was destroyed for recreation.
void HandleNeeded(QWidget* control);

/// Sends LVM_INSERTCOLUMNA / LVM_SETCOLUMNA for a list view's columns as they are inserted or
/// changed; the connections end when the list view is given back.
std::vector<QMetaObject::Connection> LinkListViewColumns(QWidget* listView);

/// RedrawWindow with RDW_UPDATENOW: the window and its children are painted now when shown.
void RedrawWindow(QWidget* window);

/// The keyboard-cue state of a control's form (UISF_HIDEFOCUS, UISF_HIDEACCEL bits).
unsigned UiStateOf(QWidget* control);

}  // namespace themes
