// Outlook's application object for a host program.

#include "platform/office/OutlookHost.h"

#include <algorithm>

#include "platform/com/ComError.h"
#include "platform/office/COMAddInsImpl.h"
#include "platform/office/CommandBarsImpl.h"
#include "platform/runtime/Paths.h"

namespace office {
namespace {

class HostWindow final : public ComObject<IHostWindow> {
public:
    HostWindow(ComPtr<_CommandBars> commandBars, bool explorer)
        : commandBars_(std::move(commandBars)), explorer_(explorer)
    {
    }
    ComPtr<_CommandBars> CommandBars() override { return commandBars_; }
    bool Explorer() const { return explorer_; }

private:
    ComPtr<_CommandBars> commandBars_;
    bool explorer_;
};

/// The windows of one kind as they were when asked for.
class WindowList final : public ComObject<IHostWindows> {
public:
    explicit WindowList(std::vector<ComPtr<IHostWindow>> windows) : windows_(std::move(windows)) {}
    int Count() override { return static_cast<int>(windows_.size()); }
    ComPtr<IHostWindow> Item(int index) override
    {
        if (index < 1 || static_cast<std::size_t>(index) > windows_.size())
            throw ComError(E_INVALIDARG, "The index " + std::to_string(index) + " is out of range.");
        return windows_[static_cast<std::size_t>(index - 1)];
    }

private:
    std::vector<ComPtr<IHostWindow>> windows_;
};

class OutlookHostApplication final
    : public DispatchObject<OutlookApplication, outlook::IOutlookApplication, IOutlookHostWindows> {
public:
    OutlookHostApplication(ComPtr<outlook::IOutlookApplication> model, ComPtr<office::COMAddIns> addIns,
                           std::function<void()> quit)
        : model_(std::move(model)), addIns_(std::move(addIns)), quit_(std::move(quit))
    {
        if (!model_) throw ComError(E_POINTER, "The host application needs the mail client's object model.");
        if (!addIns_) addIns_ = CreateCOMAddIns();
    }

    // Office's view
    ComPtr<office::COMAddIns> COMAddIns() override { return addIns_; }
    ComPtr<_CommandBars> CommandBars() override
    {
        throw ComError(DISP_E_MEMBERNOTFOUND,
                       "Outlook's command bars belong to its explorers and inspectors.");
    }
    void Quit() override
    {
        if (quit_) quit_();
    }
    ComPtr<IHostWindows> ExplorerWindows() override { return WindowsOfKind(true); }
    ComPtr<IHostWindows> InspectorWindows() override { return WindowsOfKind(false); }
    ComPtr<IHostWindow> ActiveWindow() override { return active_; }
    ComPtr<IHostWindow> ActiveExplorerWindow() override { return activeExplorer_; }

    // The object model
    ComPtr<outlook::INameSpace> GetNamespace(const std::string& type) override
    {
        return model_->GetNamespace(type);
    }
    ComPtr<outlook::IExplorer> ActiveExplorer() override { return model_->ActiveExplorer(); }
    ComPtr<outlook::IExplorers> Explorers() override { return model_->Explorers(); }
    ComPtr<outlook::IOutlookItem> CreateItemFromTemplate(const std::string& path) override
    {
        return model_->CreateItemFromTemplate(path);
    }
    std::uint32_t AdviseEvents(const ComPtr<outlook::IApplicationEvents>& sink) override
    {
        return model_->AdviseEvents(sink);
    }
    void UnadviseEvents(std::uint32_t cookie) override { model_->UnadviseEvents(cookie); }

    // The host's side
    ComPtr<IHostWindow> OpenExplorer(const ComPtr<_CommandBars>& commandBars) override
    {
        return Open(commandBars, true);
    }
    ComPtr<IHostWindow> OpenInspector(const ComPtr<_CommandBars>& commandBars) override
    {
        return Open(commandBars, false);
    }
    void Activate(const ComPtr<IHostWindow>& window) override;
    void Close(const ComPtr<IHostWindow>& window) override;

    HRESULT Invoke(DISPID, const IID&, std::uint32_t, std::uint16_t, DISPPARAMS*, Variant*, EXCEPINFO*,
                   std::uint32_t*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    ComPtr<IHostWindow> Open(const ComPtr<_CommandBars>& commandBars, bool explorer)
    {
        auto window = MakeCom<HostWindow>(commandBars, explorer);
        windows_.push_back(window);
        Activate(window);
        return window;
    }

    ComPtr<IHostWindows> WindowsOfKind(bool explorers) const
    {
        std::vector<ComPtr<IHostWindow>> list;
        for (const auto& window : windows_)
            if (window->Explorer() == explorers) list.push_back(window);
        return MakeCom<WindowList>(std::move(list));
    }

    HostWindow* Find(const ComPtr<IHostWindow>& window) const
    {
        for (const auto& open : windows_)
            if (static_cast<IHostWindow*>(open.Get()) == window.Get()) return open.Get();
        return nullptr;
    }

    ComPtr<outlook::IOutlookApplication> model_;
    ComPtr<office::COMAddIns> addIns_;
    std::function<void()> quit_;
    std::vector<ComPtr<HostWindow>> windows_;
    ComPtr<IHostWindow> active_;
    ComPtr<IHostWindow> activeExplorer_;
};

void OutlookHostApplication::Activate(const ComPtr<IHostWindow>& window)
{
    HostWindow* open = Find(window);
    if (!open) return;
    active_ = window;
    if (open->Explorer()) activeExplorer_ = window;
}

void OutlookHostApplication::Close(const ComPtr<IHostWindow>& window)
{
    HostWindow* open = Find(window);
    if (!open) return;
    windows_.erase(std::find_if(windows_.begin(), windows_.end(),
                                [&](const ComPtr<HostWindow>& w) { return w.Get() == open; }));
    active_ = windows_.empty() ? nullptr : ComPtr<IHostWindow>(windows_.back());
    activeExplorer_.Reset();
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        if ((*it)->Explorer()) {
            activeExplorer_ = *it;
            break;
        }
    }
}

}  // namespace

ComPtr<OutlookApplication> CreateOutlookHostApplication(ComPtr<outlook::IOutlookApplication> model,
                                                        ComPtr<COMAddIns> addIns, std::function<void()> quit)
{
    return MakeCom<OutlookHostApplication>(std::move(model), std::move(addIns), std::move(quit));
}

std::filesystem::path SavedExplorerCommandBarsFile()
{
    return TrovantaHome() / "Outlook Explorer.cmdbars";
}

namespace {

/// The saved bars, watched for changes; none when the file cannot be read.
struct SavedBars {
    ComPtr<_CommandBars> bars;
    std::filesystem::path file;
    bool changed = false;
};

std::shared_ptr<SavedBars> LoadSavedBars(const std::filesystem::path& file)
{
    auto saved = std::make_shared<SavedBars>();
    saved->file = file;
    try {
        saved->bars = LoadCommandBars(file);
    } catch (const std::exception&) {
        return saved;  // a file that cannot be read is not overwritten
    }
    saved->bars.As<ICommandBarsHost>()->SetChangeListener([weak = std::weak_ptr(saved)] {
        if (const auto kept = weak.lock()) kept->changed = true;
    });
    return saved;
}

}  // namespace

ComPtr<OutlookApplication> CreateAutomationOutlookApplication(ComPtr<outlook::IOutlookApplication> model,
                                                              const std::filesystem::path& barsFile)
{
    const auto saved = LoadSavedBars(barsFile);
    auto application = CreateOutlookHostApplication(std::move(model), nullptr, [saved] {
        if (saved->bars && saved->changed) saved->bars.As<ICommandBarsHost>()->Save(saved->file);
        saved->changed = false;
    });
    if (saved->bars) application.As<IOutlookHostWindows>()->OpenExplorer(saved->bars);
    return application;
}

}  // namespace office
