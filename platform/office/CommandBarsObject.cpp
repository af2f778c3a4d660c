// The in-process command bars: the collection and its bars.

#include <algorithm>

#include "platform/com/ComError.h"
#include "platform/office/CommandBarObjects.h"
#include "platform/runtime/Text.h"

namespace office::impl {

void BarsContext::Changed() const
{
    // A copy: the listener may replace itself.
    if (const auto listener_ = listener) listener_();
}

BarObject::BarObject(std::string name, int position, bool temporary,
                     const std::shared_ptr<BarsContext>& context)
    : name_(name),
      nameLocal_(std::move(name)),
      position_(position),
      temporary_(temporary),
      context_(context),
      controls_(std::make_shared<ControlList>())
{
    controls_->context = context;
    controls_->bar = this;
}

// Controls that outlive their bar (held by an add-in) read as deleted.
BarObject::~BarObject()
{
    impl::MarkDeleted(*controls_);
}

void BarObject::Check() const
{
    if (deleted_) RaiseDeleted("command bar");
}

void BarObject::Changed() const
{
    if (const auto context = context_.lock()) context->Changed();
}

std::string BarObject::Name()
{
    Check();
    return name_;
}

std::string BarObject::NameLocal()
{
    Check();
    return nameLocal_;
}

void BarObject::SetNameLocal(const std::string& name)
{
    Check();
    nameLocal_ = name;
    Changed();
}

bool BarObject::Visible()
{
    Check();
    return visible_;
}

void BarObject::SetVisible(bool visible)
{
    Check();
    visible_ = visible;
    Changed();
}

int BarObject::Position()
{
    Check();
    return position_;
}

ComPtr<CommandBarControls> BarObject::Controls()
{
    Check();
    return MakeControls(controls_);
}

void BarObject::MarkDeleted()
{
    deleted_ = true;
    impl::MarkDeleted(*controls_);
}

void BarObject::Delete()
{
    Check();
    const ComPtr<BarObject> self = ComPtr<BarObject>::Retain(this);  // alive until the end
    MarkDeleted();
    const auto context = context_.lock();
    if (!context) return;
    auto& bars = context->bars;
    bars.erase(std::remove(bars.begin(), bars.end(), self), bars.end());
    context->Changed();
}

namespace {

class BarsObject final : public ComObject<_CommandBars, ICommandBarsHost> {
public:
    explicit BarsObject(std::shared_ptr<BarsContext> context) : context_(std::move(context)) {}

    int Count() override { return static_cast<int>(context_->bars.size()); }

    ComPtr<CommandBar> Item(int index) override
    {
        CheckItemIndex(index, context_->bars.size());
        return context_->bars[static_cast<std::size_t>(index - 1)];
    }

    ComPtr<CommandBar> Add(std::optional<std::string> name, std::optional<int> position, std::optional<bool>,
                           std::optional<bool> temporary) override
    {
        std::string barName = name.value_or("");
        if (barName.empty()) barName = "Custom " + std::to_string(++context_->unnamedBars);
        for (const auto& bar : context_->bars) {
            if (SameText(bar->Name(), barName))
                throw ComError(E_INVALIDARG, "A command bar named \"" + barName + "\" exists already.");
        }
        auto bar =
            MakeCom<BarObject>(barName, position.value_or(msoBarTop), temporary.value_or(false), context_);
        context_->bars.push_back(bar);
        context_->Changed();
        return bar;
    }

    ComPtr<CommandBarControl> FindControl(std::optional<int> type, std::optional<int> id,
                                          std::optional<std::string> tag,
                                          std::optional<bool> visible) override
    {
        const bool visibleOnly = visible.value_or(false);
        for (const auto& bar : context_->bars) {
            if (visibleOnly && !bar->Visible()) continue;
            if (auto found = FindIn(*bar->ControlItems(), type, id, tag, visibleOnly)) return found;
        }
        return {};
    }

    void SetChangeListener(std::function<void()> listener) override
    {
        context_->listener = std::move(listener);
    }

    void Save(const std::filesystem::path& file) override;

private:
    static ComPtr<CommandBarControl> FindIn(const ControlList& list, const std::optional<int>& type,
                                            const std::optional<int>& id,
                                            const std::optional<std::string>& tag, bool visibleOnly)
    {
        for (const auto& control : list.items) {
            const ControlState& state = control->State();
            if (visibleOnly && !state.visible) continue;
            if ((!type || state.type == *type) && (!id || state.id == *id) && (!tag || state.tag == *tag))
                return control->AsControl();
            if (control->Children()) {
                if (auto found = FindIn(*control->Children(), type, id, tag, visibleOnly)) return found;
            }
        }
        return {};
    }

    std::shared_ptr<BarsContext> context_;
};

}  // namespace

void BarsObject::Save(const std::filesystem::path& file)
{
    SaveCommandBars(*context_, file);
}

ComPtr<_CommandBars> MakeCommandBars(std::shared_ptr<BarsContext> context)
{
    return MakeCom<BarsObject>(std::move(context));
}

}  // namespace office::impl

namespace office {

ComPtr<_CommandBars> CreateCommandBars()
{
    return impl::MakeCommandBars(std::make_shared<impl::BarsContext>());
}

}  // namespace office
