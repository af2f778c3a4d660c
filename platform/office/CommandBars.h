#pragma once
// Office command bars as hosts offer them to add-ins: the collection of a window's command
// bars, a toolbar, its controls (buttons, edit boxes, drop-down lists, combo boxes, popups),
// the picture on a button's face, and the click and change events that a control fires
// through a connection point.
//
// The interfaces are typed: members return values and raise ComError on failure (a member
// of a deleted bar or control raises too). The event interfaces are dispatch interfaces:
// a sink is advised on the control's connection point (IConnectionPointContainer) and
// receives `Invoke(DISPID_Click / DISPID_Change, ...)` with the control as first argument.
//
// CommandBarsImpl.h offers an in-process implementation that a host creates, renders and
// clicks.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/com/ConnectionPoint.h"
#include "platform/com/Dispatch.h"
#include "platform/com/Unknown.h"

namespace office {

/// Control types (`CommandBarControl::Type`, `CommandBarControls::Add`).
enum MsoControlType : int {
    msoControlCustom = 0,
    msoControlButton = 1,
    msoControlEdit = 2,
    msoControlDropdown = 3,
    msoControlComboBox = 4,
    msoControlPopup = 10,
};

/// Positions of a command bar.
enum MsoBarPosition : int {
    msoBarLeft = 0,
    msoBarTop = 1,
    msoBarRight = 2,
    msoBarBottom = 3,
    msoBarFloating = 4,
    msoBarPopup = 5,
    msoBarMenuBar = 6,
};

/// Styles of a button: what its face shows.
enum MsoButtonStyle : int {
    msoButtonAutomatic = 0,
    msoButtonIcon = 1,
    msoButtonCaption = 2,
    msoButtonIconAndCaption = 3,
};

/// Styles of an edit box, drop-down list or combo box.
enum MsoComboStyle : int {
    msoComboNormal = 0,
    msoComboLabel = 1,
};

/// The picture on a button's face, as plain pixels a host can draw: `Pixels` holds
/// Width * Height values 0xAARRGGBB, row by row from the top. Alpha 0 marks a pixel
/// where the button's own background shows.
struct Picture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;

    bool Empty() const { return Width <= 0 || Height <= 0; }
    friend bool operator==(const Picture&, const Picture&) = default;
};

struct CommandBar;
struct CommandBarControl;

/// The controls of a command bar or of a popup. Indexes are 1-based.
struct CommandBarControls : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0301-7E3B-4C55-9A0E-0B4D2F6E1301}");
    using Base = IUnknown;
    virtual int Count() = 0;
    virtual ComPtr<CommandBarControl> Item(int index) = 0;
    /// A new control of `type` (MsoControlType); appended unless `before` (1-based) is
    /// given. `id` 1 or none makes a custom control; `parameter` presets `Parameter`;
    /// a temporary control is not kept when the host ends.
    virtual ComPtr<CommandBarControl> Add(int type, std::optional<int> id = std::nullopt,
                                          std::optional<std::string> parameter = std::nullopt,
                                          std::optional<int> before = std::nullopt,
                                          std::optional<bool> temporary = std::nullopt) = 0;
};

/// One control on a command bar. Every control offers IConnectionPointContainer: buttons
/// and popups fire `_CommandBarButtonEvents`, edit boxes, drop-down lists and combo boxes
/// `_CommandBarComboBoxEvents`.
struct CommandBarControl : IUnknown {
    static constexpr IID iid = MakeGuid("{000C0308-0000-0000-C000-000000000046}");
    using Base = IUnknown;
    /// MsoControlType.
    virtual int Type() = 0;
    virtual std::string Tag() = 0;
    virtual void SetTag(const std::string& tag) = 0;
    virtual std::string Caption() = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual std::string TooltipText() = 0;
    virtual void SetTooltipText(const std::string& text) = 0;
    /// A free text that belongs to whoever made the control.
    virtual std::string Parameter() = 0;
    virtual void SetParameter(const std::string& parameter) = 0;
    virtual bool Visible() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Enabled() = 0;
    virtual void SetEnabled(bool enabled) = 0;
    /// Removes the control from its bar; the object stays, but its members raise.
    virtual void Delete(std::optional<bool> temporary = std::nullopt) = 0;
    /// What a click (button, popup) or a change (edit, drop-down, combo box) does: fires
    /// the event to the sinks of every control with the same tag in the same command bars,
    /// each sink once, with this control as the event's control.
    virtual void Execute() = 0;
    /// The bar that holds the control (for a control inside a popup, the popup's bar).
    virtual ComPtr<CommandBar> Parent() = 0;
};

/// A button: a control of type msoControlButton.
struct CommandBarButton : CommandBarControl {
    static constexpr IID iid = MakeGuid("{000C030E-0000-0000-C000-000000000046}");
    using Base = CommandBarControl;
    /// MsoButtonStyle.
    virtual int Style() = 0;
    virtual void SetStyle(int style) = 0;
    /// The face picture; empty when the button has none.
    virtual Picture Face() = 0;
    virtual void SetFace(const Picture& face) = 0;
};

/// An edit box, drop-down list or combo box.
struct CommandBarComboBox : CommandBarControl {
    static constexpr IID iid = MakeGuid("{000C030C-0000-0000-C000-000000000046}");
    using Base = CommandBarControl;
    /// MsoComboStyle.
    virtual int Style() = 0;
    virtual void SetStyle(int style) = 0;
    virtual std::string Text() = 0;
    /// Sets the text without firing the change event (a host fires it with Execute).
    virtual void SetText(const std::string& text) = 0;
    /// The entries of the list (drop-down lists and combo boxes); indexes are 1-based.
    virtual void AddItem(const std::string& text) = 0;
    virtual int ListCount() = 0;
    virtual std::string List(int index) = 0;
};

/// A popup: a control of type msoControlPopup holding controls of its own.
struct CommandBarPopup : CommandBarControl {
    static constexpr IID iid = MakeGuid("{000C030A-0000-0000-C000-000000000046}");
    using Base = CommandBarControl;
    virtual ComPtr<CommandBarControls> Controls() = 0;
};

/// A toolbar, menu bar or popup bar.
struct CommandBar : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0302-7E3B-4C55-9A0E-0B4D2F6E1302}");
    using Base = IUnknown;
    virtual std::string Name() = 0;
    /// The name shown to the user; the same as Name until set.
    virtual std::string NameLocal() = 0;
    virtual void SetNameLocal(const std::string& name) = 0;
    virtual bool Visible() = 0;
    virtual void SetVisible(bool visible) = 0;
    /// MsoBarPosition.
    virtual int Position() = 0;
    virtual ComPtr<CommandBarControls> Controls() = 0;
    /// Removes the bar with its controls; the object stays, but its members raise.
    virtual void Delete() = 0;
};

/// The command bars of a host window. Indexes are 1-based.
struct _CommandBars : IUnknown {
    static constexpr IID iid = MakeGuid("{000C0302-0000-0000-C000-000000000046}");
    using Base = IUnknown;
    virtual int Count() = 0;
    virtual ComPtr<CommandBar> Item(int index) = 0;
    /// A new bar, at the end; an unnamed bar is called "Custom 1", "Custom 2" and so on.
    /// Raises ComError when a bar of that name (ignoring case) exists.
    virtual ComPtr<CommandBar> Add(std::optional<std::string> name = std::nullopt,
                                   std::optional<int> position = std::nullopt,
                                   std::optional<bool> menuBar = std::nullopt,
                                   std::optional<bool> temporary = std::nullopt) = 0;
    /// The first control, bar by bar and in each bar depth first, that matches every
    /// criterion given: type, id, tag (exact), and with `visible` true only controls that
    /// are visible on visible bars. Empty when none matches.
    virtual ComPtr<CommandBarControl> FindControl(std::optional<int> type = std::nullopt,
                                                  std::optional<int> id = std::nullopt,
                                                  std::optional<std::string> tag = std::nullopt,
                                                  std::optional<bool> visible = std::nullopt) = 0;
};

/// Event interface of buttons and popups: `Click(Ctrl: CommandBarButton, CancelDefault:
/// bool by reference)` as DISPID_Click.
struct _CommandBarButtonEvents : IDispatch {
    static constexpr IID iid = MakeGuid("{000C0351-0000-0000-C000-000000000046}");
    using Base = IDispatch;
};

/// Event interface of edit boxes, drop-down lists and combo boxes: `Change(Ctrl:
/// CommandBarComboBox)` as DISPID_Change.
struct _CommandBarComboBoxEvents : IDispatch {
    static constexpr IID iid = MakeGuid("{000C0354-0000-0000-C000-000000000046}");
    using Base = IDispatch;
};

inline constexpr DISPID DISPID_Click = 1;
inline constexpr DISPID DISPID_Change = 1;

/// The event interface a control of `type` fires; GUID_NULL for a type that fires none.
constexpr IID EventInterfaceOf(int type)
{
    switch (type) {
        case msoControlButton:
        case msoControlPopup:
            return _CommandBarButtonEvents::iid;
        case msoControlEdit:
        case msoControlDropdown:
        case msoControlComboBox:
            return _CommandBarComboBoxEvents::iid;
        default:
            return GUID_NULL;
    }
}

}  // namespace office
