#pragma once
// The theme manager: a component placed on a form that makes the standard controls of the
// system's windows paint with the visual styles. It takes each eligible control over, class by
// class (see ControlClasses.h for the Qt widgets of each class): the control's events pass through
// the manager's handler for its class, which paints what needs styling and leaves everything else
// to the control. Theme changes sent to the application's window are followed.
//
// Use: create it on the form (its parent), name it, set its options or events if wanted, and call
// Loaded() once the form has made its controls:
//
//     auto* ThemeManager = new TThemeManager(form);
//     ThemeManager->setObjectName("ThemeManager");
//     ...                       // the form's controls
//     ThemeManager->Loaded();
//
// Only one manager per process does the work (the main manager, the first one created); any other
// is inactive, shares the main manager's options and passes its form's new windows on to it. When
// the main manager goes, the next remaining one takes over.
//
// The forms of the screen are the forms the theme managers sit on and the windows those forms own.

#include <QFlags>
#include <QObject>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "themes/ThemeMessages.h"
#include "themes/WindowProcList.h"

class QWidget;

namespace themes {

class ApplicationHook;

enum TThemeOption : unsigned {
    toAllowNonClientArea = 1u << 0,
    toAllowControls = 1u << 1,
    toAllowWebContent = 1u << 2,
    toSubclassAnimate = 1u << 3,
    toSubclassButtons = 1u << 4,
    toSubclassCheckListbox = 1u << 5,
    toSubclassDBLookup = 1u << 6,  // no effect in this system
    toSubclassFrame = 1u << 7,
    toSubclassGroupBox = 1u << 8,
    toSubclassListView = 1u << 9,
    toSubclassPanel = 1u << 10,
    toSubclassTabSheet = 1u << 11,
    toSubclassSpeedButtons = 1u << 12,
    toSubclassStatusBar = 1u << 13,
    toSubclassTrackBar = 1u << 14,
    toSubclassWinControl = 1u << 15,
    toResetMouseCapture = 1u << 16,
    toSetTransparency = 1u << 17,
    toAlternateTabSheetDraw = 1u << 18,
};
Q_DECLARE_FLAGS(TThemeOptions, TThemeOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TThemeOptions)

/// Every option except taking animations over and the alternate tab-sheet drawing.
inline constexpr TThemeOptions DefaultThemeOptions = TThemeOptions::fromInt(0x3FFF7);

class TThemeManager : public QObject {
public:
    using TAllowSubclassingEvent = std::function<void(TThemeManager* Sender, QWidget* Control, bool& Allow)>;
    using TControlMessageEvent =
        std::function<void(TThemeManager* Sender, QWidget* Control, TMessage& Message, bool& Handled)>;
    using TNotifyEvent = std::function<void(TThemeManager* Sender)>;

    explicit TThemeManager(QWidget* Owner);
    ~TThemeManager() override;
    TThemeManager(const TThemeManager&) = delete;
    TThemeManager& operator=(const TThemeManager&) = delete;

    TThemeOptions Options() const { return options_; }
    /// Sets the options of the main manager (all managers share one setting).
    void SetOptions(TThemeOptions Value);

    /// Asked before a control is taken over; Allow starts true.
    TAllowSubclassingEvent OnAllowSubclassing;
    /// Sees every message of every taken-over control first; Handled starts false.
    TControlMessageEvent OnControlMessage;
    /// Fired after the application's window has received a theme change.
    TNotifyEvent OnThemeChange;

    /// The form has made its controls: the main manager takes all forms over.
    void Loaded();

    static TThemeManager* MainManager();
    bool Inactive() const { return inactive_; }
    QWidget* OwnerForm() const { return owner_; }
    /// The forms of the screen, in the order of their managers.
    static std::vector<QWidget*> ScreenForms();

    virtual void RememberRecreation(QWidget* Control);
    virtual bool QueryAllowSubclassing(QWidget* Control);
    virtual bool DispatchControlMessage(QWidget* Control, TMessage& Message);
    virtual void NotifyThemeChange();
    /// Takes a control over (Inserting) or gives it back.
    virtual void UpdateControlSubclass(QWidget* Control, bool Inserting);

    void SubclassAllForms(QWidget* Control = nullptr);
    void SubclassChildren(QWidget* Parent);
    void UnsubclassChildren(QWidget* Parent);
    void ClearControlLists();
    void SyncOptionsFromSystem();
    void BroadcastThemeChange();
    void ApplyControlFixes(QWidget* Control = nullptr);
    bool ApplicationHook(TMessage& Message);
    bool IsBeingRecreated(QWidget* Control) const;
    void ForgetRecreation(QWidget* Control);

    TWindowProcList& List(ControlKind kind) { return *lists_[static_cast<std::size_t>(kind)]; }
    std::vector<QWidget*> PendingForms() const;
    /// The class stubs' way in: the handler of the class for one message.
    void HandleControlMessage(ControlKind kind, QWidget* control, TMessage& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormInserted(QWidget* form);
    void TakeOverPendingForms();
    void RecreatePendingWindows();
    void FixChildren(QWidget* parent);
    void BroadcastToChildren(QWidget* parent);
    void RunExtraSteps(ControlKind kind, QWidget* control, TWindowProcList& list);
    /// The list the control is in, if any.
    TWindowProcList* ListHolding(QWidget* control);

    QPointer<QWidget> owner_;
    TThemeOptions options_ = DefaultThemeOptions;
    std::array<std::unique_ptr<TWindowProcList>, 13> lists_;
    std::vector<QPointer<QWidget>> pendingForms_;
    std::vector<QPointer<QWidget>> recreatingControls_;
    bool inactive_ = false;
    bool loading_ = true;
    std::unique_ptr<themes::ApplicationHook> hook_;
};

}  // namespace themes
