#pragma once
// Internal to the in-process command bars: the objects behind the interfaces and the state
// they share. A collection owns its bars, a bar owns its list of controls, a popup owns the
// list of its own controls; the objects below a collection know it only weakly, so that an
// add-in that keeps a control longer than the host keeps its collection holds no cycle.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/office/CommandBarsImpl.h"

namespace office::impl {

class BarObject;
class ControlObject;

/// What a collection and everything in it share.
struct BarsContext {
    std::vector<ComPtr<BarObject>> bars;
    std::function<void()> listener;
    int unnamedBars = 0;

    /// Tells the host's listener about a change.
    void Changed() const;
};

/// The controls of a bar or of a popup.
struct ControlList {
    std::weak_ptr<BarsContext> context;
    /// The bar that holds the list (directly or through popups); null once it is gone.
    BarObject* bar = nullptr;
    bool deleted = false;
    std::vector<ComPtr<ControlObject>> items;
};
using ControlListPtr = std::shared_ptr<ControlList>;

/// Tells the listener of the collection that `list` belongs to, when there is one.
void NotifyChanged(const ControlList& list);
/// Marks every control in `list` (and in its popups) and the list itself deleted.
void MarkDeleted(ControlList& list);
/// Calls `visit` for every control of `list`, depth first, until it returns false; returns
/// false when the walk was stopped.
bool WalkControls(const ControlList& list, const std::function<bool(ControlObject&)>& visit);
/// Raises ComError for an index outside 1..count.
void CheckItemIndex(int index, std::size_t count);
/// Raises the error of a member called on a deleted bar or control.
[[noreturn]] void RaiseDeleted(const char* what);

/// Everything a control holds beyond its place.
struct ControlState {
    int type = msoControlButton;
    int id = 1;
    std::string tag;
    std::string caption;
    std::string tooltipText;
    std::string parameter;
    std::string text;
    std::vector<std::string> list;
    bool visible = true;
    bool enabled = true;
    bool temporary = false;
    int style = 0;
    Picture face;
};

/// The controls of a list as `CommandBarControls`.
ComPtr<CommandBarControls> MakeControls(ControlListPtr list);

/// A control of any type; it answers the typed interface of its own type only.
class ControlObject final
    : public ComObject<CommandBarButton, CommandBarComboBox, CommandBarPopup, IConnectionPointContainer> {
public:
    ControlObject(ControlState state, const ControlListPtr& owner);

    HRESULT QueryInterface(const IID& riid, void** object) override;

    int Type() override;
    std::string Tag() override;
    void SetTag(const std::string& tag) override;
    std::string Caption() override;
    void SetCaption(const std::string& caption) override;
    std::string TooltipText() override;
    void SetTooltipText(const std::string& text) override;
    std::string Parameter() override;
    void SetParameter(const std::string& parameter) override;
    bool Visible() override;
    void SetVisible(bool visible) override;
    bool Enabled() override;
    void SetEnabled(bool enabled) override;
    void Delete(std::optional<bool> temporary) override;
    void Execute() override;
    ComPtr<CommandBar> Parent() override;

    int Style() override;
    void SetStyle(int style) override;
    Picture Face() override;
    void SetFace(const Picture& face) override;
    std::string Text() override;
    void SetText(const std::string& text) override;
    void AddItem(const std::string& text) override;
    int ListCount() override;
    std::string List(int index) override;
    ComPtr<CommandBarControls> Controls() override;

    HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** point) override;

    /// For the collection: the state as it is, the popup's controls (null for others).
    const ControlState& State() const { return state_; }
    const ControlListPtr& Children() const { return children_; }
    bool Deleted() const { return deleted_; }
    void MarkDeleted();
    /// This control as its `CommandBarControl`.
    ComPtr<CommandBarControl> AsControl();
    /// The sinks advised on this control's connection point of `events`.
    std::vector<ComPtr<IUnknown>> Sinks(const IID& events) const;

private:
    void Check() const;
    /// Runs `change` on the state and tells the listener.
    void Change(const std::function<void(ControlState&)>& change);
    std::vector<ComPtr<IUnknown>> FamilySinks(const IID& events);

    ControlState state_;
    std::weak_ptr<ControlList> owner_;
    ControlListPtr children_;
    std::unique_ptr<ConnectionPoints> points_;
    bool deleted_ = false;
};

/// A command bar.
class BarObject final : public ComObject<CommandBar> {
public:
    BarObject(std::string name, int position, bool temporary, const std::shared_ptr<BarsContext>& context);
    ~BarObject() override;

    std::string Name() override;
    std::string NameLocal() override;
    void SetNameLocal(const std::string& name) override;
    bool Visible() override;
    void SetVisible(bool visible) override;
    int Position() override;
    ComPtr<CommandBarControls> Controls() override;
    void Delete() override;

    bool Temporary() const { return temporary_; }
    bool Deleted() const { return deleted_; }
    const ControlListPtr& ControlItems() const { return controls_; }
    /// Marks the bar and every control on it deleted.
    void MarkDeleted();

private:
    void Check() const;
    void Changed() const;

    std::string name_;
    std::string nameLocal_;
    int position_;
    bool visible_ = false;
    bool temporary_;
    bool deleted_ = false;
    std::weak_ptr<BarsContext> context_;
    ControlListPtr controls_;
};

/// A new, empty collection over `context`.
ComPtr<_CommandBars> MakeCommandBars(std::shared_ptr<BarsContext> context);

/// Writes the bars and controls of `context` that are not temporary to `file`.
void SaveCommandBars(const BarsContext& context, const std::filesystem::path& file);

/// Adds a control to `list` (at 1-based `before`, appended when none) and tells the listener.
ComPtr<ControlObject> AddControl(const ControlListPtr& list, ControlState state, std::optional<int> before);

}  // namespace office::impl
