// The controls of the in-process command bars and the lists that hold them.

#include <algorithm>

#include "platform/com/ComError.h"
#include "platform/office/CommandBarObjects.h"

namespace office::impl {

void NotifyChanged(const ControlList& list)
{
    if (const auto context = list.context.lock()) context->Changed();
}

void MarkDeleted(ControlList& list)
{
    list.deleted = true;
    list.bar = nullptr;
    for (const auto& control : list.items) control->MarkDeleted();
}

bool WalkControls(const ControlList& list, const std::function<bool(ControlObject&)>& visit)
{
    // A copy: a visitor may delete controls while the walk goes on.
    const auto items = list.items;
    for (const auto& control : items) {
        if (!visit(*control)) return false;
        if (control->Children() && !WalkControls(*control->Children(), visit)) return false;
    }
    return true;
}

void CheckItemIndex(int index, std::size_t count)
{
    if (index < 1 || static_cast<std::size_t>(index) > count)
        throw ComError(E_INVALIDARG, "The index " + std::to_string(index) + " is out of range.");
}

void RaiseDeleted(const char* what)
{
    throw ComError(E_FAIL, std::string("The ") + what + " has been deleted.");
}

namespace {

class ControlsObject final : public ComObject<CommandBarControls> {
public:
    explicit ControlsObject(ControlListPtr list) : list_(std::move(list)) {}

    int Count() override
    {
        Check();
        return static_cast<int>(list_->items.size());
    }

    ComPtr<CommandBarControl> Item(int index) override
    {
        Check();
        CheckItemIndex(index, list_->items.size());
        return list_->items[static_cast<std::size_t>(index - 1)]->AsControl();
    }

    ComPtr<CommandBarControl> Add(int type, std::optional<int> id, std::optional<std::string> parameter,
                                  std::optional<int> before, std::optional<bool> temporary) override
    {
        Check();
        ControlState state;
        state.type = type;
        state.id = id.value_or(1);
        state.parameter = parameter.value_or("");
        state.temporary = temporary.value_or(false);
        if (type == msoControlButton) state.style = msoButtonAutomatic;
        return AddControl(list_, std::move(state), before)->AsControl();
    }

private:
    void Check() const
    {
        if (list_->deleted) RaiseDeleted("command bar");
    }

    ControlListPtr list_;
};

constexpr bool IsKnownType(int type)
{
    return type == msoControlButton || type == msoControlEdit || type == msoControlDropdown ||
           type == msoControlComboBox || type == msoControlPopup;
}

}  // namespace

ComPtr<CommandBarControls> MakeControls(ControlListPtr list)
{
    return MakeCom<ControlsObject>(std::move(list));
}

ComPtr<ControlObject> AddControl(const ControlListPtr& list, ControlState state, std::optional<int> before)
{
    if (!IsKnownType(state.type))
        throw ComError(E_INVALIDARG, "A control of type " + std::to_string(state.type) + " cannot be added.");
    auto control = MakeCom<ControlObject>(std::move(state), list);
    auto& items = list->items;
    // Office puts a control with a Before index past the end at the end.
    const bool insert = before && *before >= 1 && static_cast<std::size_t>(*before) <= items.size();
    if (before && *before < 1) CheckItemIndex(*before, items.size());
    items.insert(insert ? items.begin() + (*before - 1) : items.end(), control);
    NotifyChanged(*list);
    return control;
}

ControlObject::ControlObject(ControlState state, const ControlListPtr& owner)
    : state_(std::move(state)), owner_(owner)
{
    if (state_.type == msoControlPopup) {
        children_ = std::make_shared<ControlList>();
        children_->context = owner->context;
        children_->bar = owner->bar;
    }
    const IID events = EventInterfaceOf(state_.type);
    points_ = events == GUID_NULL ? std::make_unique<ConnectionPoints>(std::initializer_list<IID>{})
                                  : std::make_unique<ConnectionPoints>(std::initializer_list<IID>{events});
}

HRESULT ControlObject::QueryInterface(const IID& riid, void** object)
{
    const bool combo = state_.type == msoControlEdit || state_.type == msoControlDropdown ||
                       state_.type == msoControlComboBox;
    if ((riid == CommandBarButton::iid && state_.type != msoControlButton) ||
        (riid == CommandBarComboBox::iid && !combo) ||
        (riid == CommandBarPopup::iid && state_.type != msoControlPopup)) {
        if (object) *object = nullptr;
        return E_NOINTERFACE;
    }
    return ComObject::QueryInterface(riid, object);
}

void ControlObject::Check() const
{
    if (deleted_) RaiseDeleted("command bar control");
}

void ControlObject::Change(const std::function<void(ControlState&)>& change)
{
    Check();
    change(state_);
    if (const auto owner = owner_.lock()) NotifyChanged(*owner);
}

ComPtr<CommandBarControl> ControlObject::AsControl()
{
    return ComPtr<CommandBarControl>::Retain(static_cast<CommandBarButton*>(this));
}

void ControlObject::MarkDeleted()
{
    deleted_ = true;
    if (children_) impl::MarkDeleted(*children_);
}

int ControlObject::Type()
{
    Check();
    return state_.type;
}

std::string ControlObject::Tag()
{
    Check();
    return state_.tag;
}

void ControlObject::SetTag(const std::string& tag)
{
    Change([&](ControlState& s) { s.tag = tag; });
}

std::string ControlObject::Caption()
{
    Check();
    return state_.caption;
}

void ControlObject::SetCaption(const std::string& caption)
{
    Change([&](ControlState& s) { s.caption = caption; });
}

std::string ControlObject::TooltipText()
{
    Check();
    return state_.tooltipText;
}

void ControlObject::SetTooltipText(const std::string& text)
{
    Change([&](ControlState& s) { s.tooltipText = text; });
}

std::string ControlObject::Parameter()
{
    Check();
    return state_.parameter;
}

void ControlObject::SetParameter(const std::string& parameter)
{
    Change([&](ControlState& s) { s.parameter = parameter; });
}

bool ControlObject::Visible()
{
    Check();
    return state_.visible;
}

void ControlObject::SetVisible(bool visible)
{
    Change([&](ControlState& s) { s.visible = visible; });
}

bool ControlObject::Enabled()
{
    Check();
    return state_.enabled;
}

void ControlObject::SetEnabled(bool enabled)
{
    Change([&](ControlState& s) { s.enabled = enabled; });
}

void ControlObject::Delete(std::optional<bool>)
{
    Check();
    const auto owner = owner_.lock();
    const ComPtr<ControlObject> self = ComPtr<ControlObject>::Retain(this);  // alive until the end
    MarkDeleted();
    if (!owner) return;
    auto& items = owner->items;
    items.erase(std::remove(items.begin(), items.end(), self), items.end());
    NotifyChanged(*owner);
}

ComPtr<CommandBar> ControlObject::Parent()
{
    Check();
    const auto owner = owner_.lock();
    if (!owner || !owner->bar) RaiseDeleted("command bar");
    return ComPtr<CommandBar>::Retain(owner->bar);
}

int ControlObject::Style()
{
    Check();
    return state_.style;
}

void ControlObject::SetStyle(int style)
{
    Change([&](ControlState& s) { s.style = style; });
}

Picture ControlObject::Face()
{
    Check();
    return state_.face;
}

void ControlObject::SetFace(const Picture& face)
{
    if (!face.Empty() && face.Pixels.size() != static_cast<std::size_t>(face.Width) * face.Height)
        throw ComError(E_INVALIDARG, "The picture's pixels do not match its size.");
    Change([&](ControlState& s) { s.face = face; });
}

std::string ControlObject::Text()
{
    Check();
    return state_.text;
}

void ControlObject::SetText(const std::string& text)
{
    Change([&](ControlState& s) { s.text = text; });
}

void ControlObject::AddItem(const std::string& text)
{
    Change([&](ControlState& s) { s.list.push_back(text); });
}

int ControlObject::ListCount()
{
    Check();
    return static_cast<int>(state_.list.size());
}

std::string ControlObject::List(int index)
{
    Check();
    CheckItemIndex(index, state_.list.size());
    return state_.list[static_cast<std::size_t>(index - 1)];
}

ComPtr<CommandBarControls> ControlObject::Controls()
{
    Check();
    return MakeControls(children_);
}

HRESULT ControlObject::FindConnectionPoint(const IID& iid, IConnectionPoint** point)
{
    return points_->Find(iid, point);
}

std::vector<ComPtr<IUnknown>> ControlObject::Sinks(const IID& events) const
{
    const ConnectionPoint* point = points_->Point(events);
    return point ? point->Sinks() : std::vector<ComPtr<IUnknown>>{};
}

// Office fires a control's event to the sinks of every control with the same tag, so that
// an add-in whose control object was made again still hears it; each sink hears it once.
std::vector<ComPtr<IUnknown>> ControlObject::FamilySinks(const IID& events)
{
    std::vector<ControlObject*> family{this};
    const auto owner = owner_.lock();
    const auto context = owner ? owner->context.lock() : nullptr;
    if (context && !state_.tag.empty()) {
        for (const auto& bar : context->bars) {
            WalkControls(*bar->ControlItems(), [&](ControlObject& control) {
                if (&control != this && control.state_.tag == state_.tag) family.push_back(&control);
                return true;
            });
        }
    }
    std::vector<ComPtr<IUnknown>> sinks;
    std::vector<IUnknown*> seen;
    for (ControlObject* control : family) {
        for (auto& sink : control->Sinks(events)) {
            IUnknown* identity = sink.As<IUnknown>().Get();
            if (std::find(seen.begin(), seen.end(), identity) != seen.end()) continue;
            seen.push_back(identity);
            sinks.push_back(std::move(sink));
        }
    }
    return sinks;
}

void ControlObject::Execute()
{
    Check();
    const IID events = EventInterfaceOf(state_.type);
    const ComPtr<CommandBarControl> self = AsControl();  // alive while the sinks run
    for (const auto& sink : FamilySinks(events)) {
        const auto dispatch = sink.As<IDispatch>();
        if (!dispatch) continue;
        if (events == _CommandBarButtonEvents::iid) {
            bool cancelDefault = false;
            InvokeMethod(*dispatch, DISPID_Click, {Variant(self), Variant::BoolRef(&cancelDefault)});
        } else {
            InvokeMethod(*dispatch, DISPID_Change, {Variant(self)});
        }
    }
}

}  // namespace office::impl
