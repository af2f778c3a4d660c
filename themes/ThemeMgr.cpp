#include "themes/ThemeMgr.h"

#include <QChildEvent>
#include <QWidget>

#include <algorithm>
#include <mutex>

#include "themes/ApplicationWindow.h"
#include "themes/ControlClasses.h"
#include "themes/ControlHandlers.h"
#include "themes/ControlWindowProc.h"
#include "themes/ThemeSrv.h"

namespace themes {

namespace {

// Guards the election of the main manager; re-entrant because the options setter and the
// hand-over call back into managers while holding it.
std::recursive_mutex g_managerLock;
TThemeManager* g_mainManager = nullptr;
// Every manager alive, in the order of creation: their forms make up the screen.
std::vector<TThemeManager*> g_managers;

struct ListClass {
    ControlKind Kind;
    ControlClassTest Test;
};

// The lists in the order they are created.
constexpr ListClass kLists[] = {
    {ControlKind::ListView, IsListView},
    {ControlKind::TabSheet, IsTabSheet},
    {ControlKind::GroupBox, IsGroupBox},
    {ControlKind::ButtonControl, IsButtonControl},
    {ControlKind::SpeedButton, IsSpeedButton},
    {ControlKind::TrackBar, IsTrackBar},
    {ControlKind::Animate, IsAnimate},
    {ControlKind::StatusBar, IsStatusBar},
    {ControlKind::CheckListBox, IsCheckListBox},
    {ControlKind::Form, IsForm},
    {ControlKind::Frame, IsFrame},
    {ControlKind::Panel, IsPanel},
    {ControlKind::WinControl, IsWinControl},
};

}  // namespace

TThemeManager::TThemeManager(QWidget* Owner) : QObject(Owner), owner_(Owner)
{
    for (const ListClass& list : kLists)
        lists_[static_cast<std::size_t>(list.Kind)] =
            std::make_unique<TWindowProcList>(*this, list.Kind, list.Test);
    hook_ = std::make_unique<themes::ApplicationHook>(
        [this](TMessage& message) { return ApplicationHook(message); });
    {
        const std::lock_guard lock(g_managerLock);
        if (g_mainManager) {
            inactive_ = true;
            options_ = g_mainManager->options_;
        } else {
            g_mainManager = this;
        }
        g_managers.push_back(this);
    }
    if (Owner) {
        MarkAsForm(Owner);
        Owner->installEventFilter(this);
    }
}

TThemeManager::~TThemeManager()
{
    {
        const std::lock_guard lock(g_managerLock);
        std::erase(g_managers, this);
    }
    if (owner_) owner_->removeEventFilter(this);
    // Every control gets its window method back before any list goes.
    for (const ListClass& list : kLists) List(list.Kind).Clear();
    for (auto& list : lists_) list.reset();
    pendingForms_.clear();
    recreatingControls_.clear();
    hook_.reset();
    const std::lock_guard lock(g_managerLock);
    if (g_mainManager == this) {
        g_mainManager = nullptr;
        SendApplicationMessage(CM_MAINMANAGERFREED);
    }
}

TThemeManager* TThemeManager::MainManager()
{
    const std::lock_guard lock(g_managerLock);
    return g_mainManager;
}

std::vector<QWidget*> TThemeManager::ScreenForms()
{
    std::vector<QWidget*> forms;
    const auto add = [&forms](QWidget* form) {
        if (std::find(forms.begin(), forms.end(), form) == forms.end()) forms.push_back(form);
    };
    const std::lock_guard lock(g_managerLock);
    for (const TThemeManager* manager : g_managers) {
        QWidget* owner = manager->owner_;
        if (!owner) continue;
        add(owner);
        for (QWidget* window : owner->findChildren<QWidget*>()) {
            if (window->isWindow() && IsForm(window)) add(window);
        }
    }
    return forms;
}

void TThemeManager::SetOptions(TThemeOptions Value)
{
    const std::lock_guard lock(g_managerLock);
    if (g_mainManager && g_mainManager != this) {
        g_mainManager->SetOptions(Value);
        return;
    }
    if (Value == options_) return;
    options_ = Value;
    if (!GlobalThemeServices().LibraryAvailable() || inactive_) return;
    const TThemeOptions allow = options_ & (toAllowNonClientArea | toAllowControls | toAllowWebContent);
    ThemeEntries().SetThemeAppProperties(static_cast<uxtheme::DWORD>(allow.toInt()));
    if (loading_) return;
    SyncOptionsFromSystem();
    BroadcastThemeChange();
    SendApplicationMessage(WM_THEMECHANGED);
    for (QWidget* form : ScreenForms()) RedrawWindow(form);
}

void TThemeManager::Loaded()
{
    loading_ = false;
    if (MainManager() == this) SubclassAllForms(nullptr);
}

bool TThemeManager::eventFilter(QObject* watched, QEvent* event)
{
    // A window made by the form, once ready, waits to be taken over.
    if (watched == owner_ && event->type() == QEvent::ChildPolished) {
        auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child());
        if (child && child->isWindow() && IsForm(child)) FormInserted(child);
    }
    return false;
}

void TThemeManager::FormInserted(QWidget* form)
{
    TThemeManager* main = MainManager();
    if (main && main != this) {
        main->FormInserted(form);
        return;
    }
    if (!main) return;
    if (std::find(pendingForms_.begin(), pendingForms_.end(), form) != pendingForms_.end()) return;
    pendingForms_.emplace_back(form);
    PostApplicationMessage(WM_NULL);
}

std::vector<QWidget*> TThemeManager::PendingForms() const
{
    std::vector<QWidget*> forms;
    for (const QPointer<QWidget>& form : pendingForms_) {
        if (form) forms.push_back(form);
    }
    return forms;
}

bool TThemeManager::ApplicationHook(TMessage& Message)
{
    if (Message.Msg == CM_MAINMANAGERFREED) {
        const std::lock_guard lock(g_managerLock);
        if (!g_mainManager) {
            g_mainManager = this;
            inactive_ = false;
            SubclassAllForms(nullptr);
        }
    }
    TakeOverPendingForms();
    RecreatePendingWindows();
    if (Message.Msg == WM_THEMECHANGED) {
        SyncOptionsFromSystem();
        NotifyThemeChange();
    }
    return false;
}

void TThemeManager::TakeOverPendingForms()
{
    while (!pendingForms_.empty()) {
        const QPointer<QWidget> form = pendingForms_.front();
        pendingForms_.erase(pendingForms_.begin());
        if (!form) continue;
        List(ControlKind::Form).AddControl(form);
        if (MainManager() == this) SubclassChildren(form);
        if (options_ & (toResetMouseCapture | toSetTransparency)) ApplyControlFixes(form);
        RedrawWindow(form);
    }
}

void TThemeManager::RecreatePendingWindows()
{
    while (!recreatingControls_.empty()) {
        const QPointer<QWidget> control = recreatingControls_.front();
        if (control) HandleNeeded(control);
        const auto it = std::find(recreatingControls_.begin(), recreatingControls_.end(), control);
        if (it != recreatingControls_.end()) recreatingControls_.erase(it);
        std::erase_if(recreatingControls_, [](const QPointer<QWidget>& gone) { return gone.isNull(); });
    }
}

void TThemeManager::RememberRecreation(QWidget* Control)
{
    if (IsBeingRecreated(Control)) return;
    recreatingControls_.emplace_back(Control);
    // The window is made again at the application window's next message; make sure one comes.
    PostApplicationMessage(WM_NULL);
}

bool TThemeManager::IsBeingRecreated(QWidget* Control) const
{
    return std::find(recreatingControls_.begin(), recreatingControls_.end(), Control) !=
           recreatingControls_.end();
}

void TThemeManager::ForgetRecreation(QWidget* Control)
{
    std::erase_if(recreatingControls_, [Control](const QPointer<QWidget>& c) { return c == Control; });
}

bool TThemeManager::QueryAllowSubclassing(QWidget* Control)
{
    bool allow = true;
    if (OnAllowSubclassing) OnAllowSubclassing(this, Control, allow);
    return allow;
}

bool TThemeManager::DispatchControlMessage(QWidget* Control, TMessage& Message)
{
    bool handled = false;
    if (OnControlMessage) OnControlMessage(this, Control, Message, handled);
    return handled;
}

void TThemeManager::NotifyThemeChange()
{
    if (OnThemeChange) OnThemeChange(this);
}

void TThemeManager::HandleControlMessage(ControlKind kind, QWidget* control, TMessage& message)
{
    themes::HandleControlMessage(*this, kind, control, message);
}

}  // namespace themes
