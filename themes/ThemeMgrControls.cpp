// The theme manager's work on controls: which class a control belongs to and whether it is taken
// over, walking forms and their children, following theme changes and the fixes applied to forms.

#include <QLabel>
#include <QToolBar>
#include <QWidget>

#include <algorithm>

#include "themes/ControlClasses.h"
#include "themes/ControlWindowProc.h"
#include "themes/ThemeMgr.h"
#include "themes/ThemeSrv.h"

namespace themes {

namespace {

struct ClassRow {
    ControlClassTest Test;
    TThemeOption Option;  // none: always
    ControlKind Kind;
};

// The class tests in the order they run; the first one a control passes chooses its list.
constexpr ClassRow kClassRows[] = {
    {IsButtonControl, toSubclassButtons, ControlKind::ButtonControl},
    {IsSpeedButton, toSubclassSpeedButtons, ControlKind::SpeedButton},
    {IsGroupBox, toSubclassGroupBox, ControlKind::GroupBox},
    {IsTabSheet, toSubclassTabSheet, ControlKind::TabSheet},
    {IsPanel, toSubclassPanel, ControlKind::Panel},
    {IsFrame, toSubclassFrame, ControlKind::Frame},
    {IsListView, toSubclassListView, ControlKind::ListView},
    {IsTrackBar, toSubclassTrackBar, ControlKind::TrackBar},
    {IsCheckListBox, toSubclassCheckListbox, ControlKind::CheckListBox},
    {IsStatusBar, toSubclassStatusBar, ControlKind::StatusBar},
    {IsAnimate, toSubclassAnimate, ControlKind::Animate},
    {IsForm, TThemeOption{}, ControlKind::Form},
    {IsWinControl, toSubclassWinControl, ControlKind::WinControl},
};

// Without the visual-styles library only list views are taken over.
constexpr ClassRow kListViewOnly{IsListView, toSubclassListView, ControlKind::ListView};

const ClassRow* ClassRowOf(const QWidget* control)
{
    if (!GlobalThemeServices().LibraryAvailable())
        return kListViewOnly.Test(control) ? &kListViewOnly : nullptr;
    const auto row = std::find_if(std::begin(kClassRows), std::end(kClassRows),
                                  [control](const ClassRow& candidate) { return candidate.Test(control); });
    return row == std::end(kClassRows) ? nullptr : row;
}

void MakeTransparent(QWidget* widget)
{
    widget->setAutoFillBackground(false);
}

}  // namespace

void TThemeManager::UpdateControlSubclass(QWidget* Control, bool Inserting)
{
    if (!Control) return;
    const ClassRow* row = ClassRowOf(Control);
    // Giving a control back is never blocked by the options.
    const bool chosen = row && (!Inserting || row->Option == TThemeOption{} || (options_ & row->Option));
    // A control is in one list only. Its class can change while it is taken over (a list box gets
    // or loses its check boxes): the list it is in gives it back before another takes it.
    TWindowProcList* held = ListHolding(Control);
    if (held && (!Inserting || (chosen && held != &List(row->Kind)))) held->RemoveControl(Control);
    if (!chosen) return;
    TWindowProcList& list = List(row->Kind);
    if (Inserting) RunExtraSteps(row->Kind, Control, list);
    if (Inserting && QueryAllowSubclassing(Control) && SendControlMessage(Control, CM_REFUSETHEMING) == 0)
        list.AddControl(Control);
    else
        list.RemoveControl(Control);
}

TWindowProcList* TThemeManager::ListHolding(QWidget* control)
{
    for (const std::unique_ptr<TWindowProcList>& list : lists_) {
        if (list->Contains(control)) return list.get();
    }
    return nullptr;
}

void TThemeManager::RunExtraSteps(ControlKind kind, QWidget* control, TWindowProcList& list)
{
    switch (kind) {
        case ControlKind::Frame:
            SubclassChildren(control);
            break;
        case ControlKind::ListView:
            // Its window is made again so that its existing columns pass the handler.
            if (!list.Contains(control) && HasWindowNow(control)) PostControlMessage(control, CM_RECREATEWND);
            break;
        case ControlKind::Form:
            SubclassChildren(control);
            std::erase_if(pendingForms_,
                          [control](const QPointer<QWidget>& form) { return form == control; });
            break;
        default:
            break;
    }
}

void TThemeManager::SubclassAllForms(QWidget* Control)
{
    if (inactive_) return;
    if (Control) {
        List(ControlKind::Form).AddControl(Control);
        SubclassChildren(Control);
    } else {
        ClearControlLists();
        for (QWidget* form : ScreenForms()) {
            List(ControlKind::Form).AddControl(form);
            SubclassChildren(form);
        }
    }
    if (options_ & (toResetMouseCapture | toSetTransparency)) ApplyControlFixes(Control);
}

void TThemeManager::SubclassChildren(QWidget* Parent)
{
    if (inactive_) return;
    for (QWidget* child : ControlsOf(Parent)) {
        UpdateControlSubclass(child, true);
        if (!ControlsOf(child).empty()) SubclassChildren(child);
    }
}

void TThemeManager::UnsubclassChildren(QWidget* Parent)
{
    for (QWidget* child : ControlsOf(Parent)) {
        UnsubclassChildren(child);
        UpdateControlSubclass(child, false);
    }
}

void TThemeManager::ClearControlLists()
{
    List(ControlKind::ListView).Clear();
    if (!StylesEnabled()) return;
    for (const ControlKind kind :
         {ControlKind::CheckListBox, ControlKind::StatusBar, ControlKind::Animate, ControlKind::TrackBar,
          ControlKind::SpeedButton, ControlKind::ButtonControl, ControlKind::TabSheet,
          ControlKind::WinControl, ControlKind::GroupBox, ControlKind::Form, ControlKind::Panel,
          ControlKind::Frame})
        List(kind).Clear();
}

void TThemeManager::SyncOptionsFromSystem()
{
    TThemeServices& services = GlobalThemeServices();
    services.UpdateStyleState();
    if (!services.LibraryAvailable()) return;
    const uxtheme::DWORD properties = ThemeEntries().GetThemeAppProperties();
    options_.setFlag(toAllowNonClientArea, properties & uxtheme::STAP_ALLOW_NONCLIENT);
    options_.setFlag(toAllowControls, properties & uxtheme::STAP_ALLOW_CONTROLS);
    options_.setFlag(toAllowWebContent, properties & uxtheme::STAP_ALLOW_WEBCONTENT);
}

void TThemeManager::BroadcastThemeChange()
{
    for (QWidget* form : ScreenForms()) {
        SendControlMessage(form, WM_THEMECHANGED);
        BroadcastToChildren(form);
    }
}

void TThemeManager::BroadcastToChildren(QWidget* parent)
{
    for (QWidget* child : ControlsOf(parent)) {
        if (HasWindowNow(child)) SendControlMessage(child, WM_THEMECHANGED);
        if (IsListView(child) || IsCoolBar(child))
            RecreateWindow(child);
        else
            BroadcastToChildren(child);
    }
}

void TThemeManager::ApplyControlFixes(QWidget* Control)
{
    if (Control) {
        FixChildren(Control);
        return;
    }
    for (QWidget* form : ScreenForms()) FixChildren(form);
}

void TThemeManager::FixChildren(QWidget* parent)
{
    for (QWidget* child : ControlsOf(parent)) {
        if (StylesEnabled()) ThemeEntries().EnableThemeDialogTexture(child, uxtheme::ETDT_ENABLETAB);
        if (IsToolBar(child)) {
            // Qt's tool buttons hold no capture style of their own; only the transparency applies.
            if (options_ & toSetTransparency) MakeTransparent(child);
        } else if (IsLabel(child)) {
            if (options_ & toSetTransparency) MakeTransparent(child);
        } else if (!ControlsOf(child).empty()) {
            FixChildren(child);
        }
    }
}

}  // namespace themes
