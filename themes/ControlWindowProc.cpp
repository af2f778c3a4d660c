#include "themes/ControlWindowProc.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPointer>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QtDebug>

#include <exception>

#include "platform/uxtheme/Gdi.h"
#include "themes/ControlClasses.h"
#include "themes/ControlHandlers.h"
#include "themes/ThemeMgr.h"
#include "themes/WindowProcList.h"

namespace themes {

using uxtheme::WidgetDC;

namespace {

constexpr const char* kUiState = "_trovanta_ui_state";

// Set while a list view's column record is written back, so that the change it makes to the
// header is not taken for a new column edit. (Controls live on the GUI thread; and the layer may
// sit in a library that is unloaded, which must leave no thread-local blocks behind.)
bool g_applyingColumn = false;

TMessage MakeMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0, QEvent* event = nullptr)
{
    TMessage message;
    message.Msg = msg;
    message.WParam = wParam;
    message.LParam = lParam;
    message.Event = event;
    return message;
}

template <class T>
WPARAM AsParam(T* pointer)
{
    return reinterpret_cast<WPARAM>(pointer);
}

/// Hands one message to the main manager's handler for the list's class. An exception from a
/// handler (an event of the manager's user) ends here; the control then has the message itself.
void Dispatch(TWindowProcList& list, QWidget* control, TMessage& message)
{
    try {
        if (TThemeManager* main = TThemeManager::MainManager())
            main->HandleControlMessage(list.Kind(), control, message);
        else
            list.DispatchToPrevious(control, message);
        return;
    } catch (const std::exception& error) {
        qWarning("Theme manager: message 0x%x of a control failed: %s", message.Msg, error.what());
    } catch (...) {
        qWarning("Theme manager: message 0x%x of a control failed", message.Msg);
    }
    if (!message.PassedToControl) list.DispatchToPrevious(control, message);
}

unsigned CtlColorMessageOf(const QWidget* control)
{
    if (IsBitBtn(control)) return 0;  // owner-drawn: it draws its face on CN_DRAWITEM
    if (control->inherits("QPushButton")) return CN_CTLCOLORBTN;
    if (control->inherits("QCheckBox") || control->inherits("QRadioButton") || IsStaticText(control))
        return CN_CTLCOLORSTATIC;
    return 0;
}

void DeliverPaint(TWindowProcList& list, QWidget* control, QPaintEvent* event)
{
    {
        WidgetDC dc(control);
        TMessage erase = MakeMessage(WM_ERASEBKGND, AsParam(dc.get()), 0, event);
        Dispatch(list, control, erase);
    }
    if (const unsigned ctlColor = CtlColorMessageOf(control)) {
        WidgetDC dc(control);
        TMessage color = MakeMessage(ctlColor, AsParam(dc.get()), reinterpret_cast<LPARAM>(control), event);
        Dispatch(list, control, color);
    }
    TMessage paint = MakeMessage(WM_PAINT, 0, 0, event);
    Dispatch(list, control, paint);
    TMessage frame = MakeMessage(WM_NCPAINT, 1, 0, event);
    Dispatch(list, control, frame);
}

bool DeliverKey(TWindowProcList& list, QWidget* control, QKeyEvent* event)
{
    const bool system = event->key() == Qt::Key_Alt || (event->modifiers() & Qt::AltModifier);
    TMessage key = MakeMessage(system ? WM_SYSKEYDOWN : WM_KEYDOWN, VirtualKeyOf(event->key()), 0, event);
    Dispatch(list, control, key);
    return !key.PassedToControl;
}

bool DeliverPassingOn(TWindowProcList& list, QWidget* control, QEvent* event, unsigned msg)
{
    TMessage message = MakeMessage(msg, 0, 0, event);
    Dispatch(list, control, message);
    return !message.PassedToControl;
}

void DeliverResize(TWindowProcList& list, QWidget* control, QEvent* event)
{
    TMessage size = MakeMessage(WM_NCCALCSIZE, 1, 0, event);
    Dispatch(list, control, size);
    if (size.Result & (WVR_HREDRAW | WVR_VREDRAW)) control->update();
}

void DeliverControlListChange(TWindowProcList& list, QWidget* control, QChildEvent* event)
{
    // A child in the middle of its destruction is no widget any more and is left to its own end.
    auto* child = qobject_cast<QWidget*>(event->child());
    if (!child || child->isWindow() || IsInternalWidget(child)) return;
    const bool inserted = event->type() == QEvent::ChildPolished;
    TMessage change = MakeMessage(CM_CONTROLLISTCHANGE, AsParam(child), inserted ? 1 : 0);
    Dispatch(list, control, change);
}

bool DeliverMessageEvent(TWindowProcList& list, QWidget* control, QEvent* event, unsigned number)
{
    if (auto* carried = dynamic_cast<MessageEvent*>(event)) {
        carried->Message.Carrier = carried;
        Dispatch(list, control, carried->Message);
        carried->Message.Carrier = nullptr;
        carried->Dispatched = true;
        return true;
    }
    TMessage bare = MessageFromEvent(event, number);
    bare.Carrier = event;
    Dispatch(list, control, bare);
    return true;
}

// --- default processing -------------------------------------------------------------------

unsigned ButtonItemState(const QWidget* button)
{
    return (IsDown(button) ? ODS_SELECTED : 0u) | (button->hasFocus() ? ODS_FOCUS : 0u);
}

/// An owner-drawn button asks for its face to be drawn; false when a handler drew it.
bool OwnerDrawPassedOn(QWidget* button, QEvent* paintEvent)
{
    DRAWITEMSTRUCT item;
    item.itemID = 0;
    item.itemState = ButtonItemState(button);
    item.rcItem = uxtheme::ToRECT(button->rect());
    TMessage draw = MakeMessage(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item), paintEvent);
    {
        WidgetDC dc(button);
        item.hDC = dc.get();
        SendControlMessage(button, draw);
    }
    return draw.PassedToControl;
}

QRect SliderPartRect(QSlider* slider, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.tickPosition = slider->tickPosition();
    option.tickInterval = slider->tickInterval();
    option.upsideDown = slider->invertedAppearance() != (slider->orientation() == Qt::Vertical);
    option.subControls = QStyle::SC_All;
    if (slider->orientation() == Qt::Horizontal) option.state |= QStyle::State_Horizontal;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, part, slider);
}

/// The custom-draw stages a track bar goes through before it paints: the whole control, then
/// its tics, channel and thumb when the handler asks for the items.
void RunCustomDraw(QWidget* control)
{
    auto* slider = qobject_cast<QSlider*>(control);
    WidgetDC dc(control);
    NMCUSTOMDRAW whole;
    whole.dwDrawStage = CDDS_PREPAINT;
    whole.hdc = dc.get();
    whole.rc = uxtheme::ToRECT(control->rect());
    TMessage prepaint = MakeMessage(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&whole));
    SendControlMessage(control, prepaint);
    if (!(prepaint.Result & CDRF_NOTIFYITEMDRAW)) return;
    const std::pair<std::uintptr_t, QRect> items[] = {
        {TBCD_TICS, control->rect()},
        {TBCD_CHANNEL, SliderPartRect(slider, QStyle::SC_SliderGroove)},
        {TBCD_THUMB, SliderPartRect(slider, QStyle::SC_SliderHandle)},
    };
    for (const auto& [part, rect] : items) {
        NMCUSTOMDRAW item = whole;
        item.dwDrawStage = CDDS_ITEMPREPAINT;
        item.dwItemSpec = part;
        item.rc = uxtheme::ToRECT(rect);
        TMessage message = MakeMessage(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&item));
        SendControlMessage(control, message);
    }
}

void DefaultPaint(QWidget* control, QEvent* event)
{
    if (IsBitBtn(control) && !OwnerDrawPassedOn(control, event)) return;
    if (IsTrackBar(control)) RunCustomDraw(control);
    static_cast<QObject*>(control)->event(event);
}

/// Erasing asked for from outside a paint: an opaque control fills itself, any other shows what
/// lies behind it.
void EraseBackground(QWidget* control, uxtheme::HDC dc)
{
    if (!dc) return;
    if (control->isWindow() || control->autoFillBackground())
        uxtheme::FillRect(dc, uxtheme::ToRECT(control->rect()),
                          control->palette().brush(control->backgroundRole()));
    else if (control->parentWidget())
        PaintParentInto(control, dc);
}

void DefaultDrawItem(TMessage& message, QAbstractItemDelegate* previousDelegate)
{
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
    if (!item || !item->ItemOption || !item->hDC) return;  // a button: Qt paints its face
    static QStyledItemDelegate plain;
    QAbstractItemDelegate* delegate = previousDelegate ? previousDelegate : &plain;
    delegate->paint(item->hDC->Painter, *item->ItemOption, item->ItemIndex);
}

// A control tells its parent of a change in its list of controls, up to the form.
void PassListChangeUp(QWidget* control, const TMessage& message)
{
    if (IsForm(control) || !control->parentWidget()) return;
    TMessage up = MakeMessage(message.Msg, message.WParam, message.LParam);
    SendControlMessage(control->parentWidget(), up);
}

void ChangeUiState(QWidget* control, WPARAM wParam)
{
    QWidget* form = FormOf(control);
    if (!form) form = control->window();
    unsigned state = form->property(kUiState).toUInt();
    const unsigned flags = HIWORD(wParam) & (UISF_HIDEFOCUS | UISF_HIDEACCEL);
    if (LOWORD(wParam) == UIS_SET)
        state |= flags;
    else if (LOWORD(wParam) == UIS_CLEAR)
        state &= ~flags;
    form->setProperty(kUiState, state);
    form->update();
}

void RecreateNow(QWidget* control)
{
    if (!HasWindowNow(control)) return;
    SendControlMessage(control, WM_DESTROY);
    MarkWindowGone(control, true);
}

void ApplyColumn(QWidget* listView, const TMessage& message)
{
    const auto* column = reinterpret_cast<const LVCOLUMN*>(message.LParam);
    auto* view = qobject_cast<QAbstractItemView*>(listView);
    QAbstractItemModel* model = view ? view->model() : nullptr;
    if (!column || !model) return;
    const int section = static_cast<int>(message.WParam);
    const QVariant image = model->headerData(section, Qt::Horizontal, Qt::DecorationRole);
    g_applyingColumn = true;
    if (column->mask & LVCF_IMAGE) {
        if (image.typeId() == QMetaType::Int && image.toInt() != column->iImage)
            model->setHeaderData(section, Qt::Horizontal, column->iImage, Qt::DecorationRole);
    } else if (image.isValid()) {
        model->setHeaderData(section, Qt::Horizontal, QVariant(), Qt::DecorationRole);
    }
    g_applyingColumn = false;
}

/// A column as a list view reports it: an image index is an integer decoration of the header
/// section (an icon is an image too).
void SendColumnMessage(QWidget* listView, unsigned msg, int section)
{
    if (g_applyingColumn) return;
    auto* view = qobject_cast<QAbstractItemView*>(listView);
    if (!view || !view->model()) return;
    const QVariant image = view->model()->headerData(section, Qt::Horizontal, Qt::DecorationRole);
    LVCOLUMN column;
    column.iSubItem = section;
    if (image.isValid()) {
        column.mask |= LVCF_IMAGE;
        column.iImage = image.typeId() == QMetaType::Int ? image.toInt() : 0;
    }
    TMessage message = MakeMessage(msg, static_cast<WPARAM>(section), reinterpret_cast<LPARAM>(&column));
    SendControlMessage(listView, message);
}

void AnnounceColumns(QWidget* listView)
{
    auto* view = qobject_cast<QAbstractItemView*>(listView);
    if (!view || !view->model()) return;
    for (int section = 0; section < view->model()->columnCount(); ++section)
        SendColumnMessage(listView, LVM_INSERTCOLUMNA, section);
}

}  // namespace

bool TranslateControlEvent(TWindowProcList& list, QWidget* control, QEvent* event)
{
    switch (event->type()) {
        case QEvent::Paint:
            DeliverPaint(list, control, static_cast<QPaintEvent*>(event));
            return true;
        case QEvent::KeyPress:
            return DeliverKey(list, control, static_cast<QKeyEvent*>(event));
        case QEvent::Enter:
            return DeliverPassingOn(list, control, event, CM_MOUSEENTER);
        case QEvent::Leave:
            return DeliverPassingOn(list, control, event, CM_MOUSELEAVE);
        case QEvent::Resize:
            DeliverResize(list, control, event);
            return true;
        case QEvent::ChildPolished:
        case QEvent::ChildRemoved:
            DeliverControlListChange(list, control, static_cast<QChildEvent*>(event));
            return false;
        default:
            break;
    }
    if (const std::optional<unsigned> number = MessageOfEventType(event->type()))
        return DeliverMessageEvent(list, control, event, *number);
    return false;
}

LRESULT SendControlMessage(QWidget* control, TMessage& message)
{
    MessageEvent event(message);
    QCoreApplication::sendEvent(control, &event);
    message = event.Message;
    if (!event.Dispatched && !event.Answered) DefaultWindowProc(control, message, nullptr);
    return message.Result;
}

LRESULT SendControlMessage(QWidget* control, unsigned msg, WPARAM wParam, LPARAM lParam)
{
    TMessage message = MakeMessage(msg, wParam, lParam);
    return SendControlMessage(control, message);
}

void PostControlMessage(QWidget* control, unsigned msg, WPARAM wParam, LPARAM lParam)
{
    QCoreApplication::postEvent(control, new MessageEvent(MakeMessage(msg, wParam, lParam)));
}

void DefaultWindowProc(QWidget* control, TMessage& message, QAbstractItemDelegate* previousDelegate)
{
    message.PassedToControl = true;
    // A message sent to the control is first the control's own to answer.
    if (auto* carried = dynamic_cast<MessageEvent*>(message.Carrier)) {
        static_cast<QObject*>(control)->event(carried);
        if (carried->Answered) return;
    }
    switch (message.Msg) {
        case WM_PAINT:
            if (message.Event) DefaultPaint(control, message.Event);
            break;
        case WM_ERASEBKGND:
            if (!message.Event) EraseBackground(control, reinterpret_cast<uxtheme::HDC>(message.WParam));
            break;
        case WM_NCCALCSIZE:
            if (message.Event) static_cast<QObject*>(control)->event(message.Event);
            break;
        case CN_DRAWITEM:
            DefaultDrawItem(message, previousDelegate);
            break;
        case CN_NOTIFY:
            message.Result = CDRF_DODEFAULT;
            break;
        case CM_CONTROLLISTCHANGE:
            PassListChangeUp(control, message);
            break;
        case WM_CHANGEUISTATE:
            ChangeUiState(control, message.WParam);
            break;
        case WM_QUERYUISTATE:
            message.Result = static_cast<LRESULT>(UiStateOf(control));
            break;
        case WM_THEMECHANGED:
            control->update();
            break;
        case CM_RECREATEWND:
            RecreateNow(control);
            break;
        case LVM_SETCOLUMNA:
        case LVM_INSERTCOLUMNA:
            ApplyColumn(control, message);
            break;
        default:
            break;
    }
}

void RecreateWindow(QWidget* control)
{
    if (HasWindowNow(control)) SendControlMessage(control, CM_RECREATEWND);
}

void HandleNeeded(QWidget* control)
{
    if (!WindowIsGone(control)) return;
    MarkWindowGone(control, false);
    if (IsListView(control)) AnnounceColumns(control);
    control->update();
}

std::vector<QMetaObject::Connection> LinkListViewColumns(QWidget* listView)
{
    auto* view = qobject_cast<QAbstractItemView*>(listView);
    if (!view || !view->model()) return {};
    QAbstractItemModel* model = view->model();
    QPointer<QWidget> target(listView);
    return {
        QObject::connect(model, &QAbstractItemModel::columnsInserted, listView,
                         [target](const QModelIndex& parent, int first, int last) {
                             for (int section = first; target && !parent.isValid() && section <= last;
                                  ++section)
                                 SendColumnMessage(target, LVM_INSERTCOLUMNA, section);
                         }),
        QObject::connect(model, &QAbstractItemModel::headerDataChanged, listView,
                         [target](Qt::Orientation orientation, int first, int last) {
                             for (int section = first;
                                  target && orientation == Qt::Horizontal && section <= last; ++section)
                                 SendColumnMessage(target, LVM_SETCOLUMNA, section);
                         }),
    };
}

void RedrawWindow(QWidget* window)
{
    if (window->isVisible())
        window->repaint();
    else
        window->update();
}

unsigned UiStateOf(QWidget* control)
{
    QWidget* form = FormOf(control);
    if (!form) form = control->window();
    return form->property(kUiState).toUInt();
}

}  // namespace themes
