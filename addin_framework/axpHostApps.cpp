#include "addin_framework/axpHostApps.h"

#include "addin_framework/axpModule.h"
#include "platform/com/ComError.h"

THostApplication::THostApplication(ComPtr<office::IOfficeApplication> Application)
    : FApplication(std::move(Application))
{
}

void THostApplication::Disconnect()
{
    FApplication.Reset();
}

/// Passes Word's window activation to its wrapper while connected.
class TWordEventSink final : public ComObject<office::WordApplicationEvents> {
public:
    explicit TWordEventSink(TWordApplication* Owner) : FOwner(Owner) {}
    void Detach() { FOwner = nullptr; }
    void WindowActivate() override
    {
        if (FOwner && FOwner->OnWindowActivate) FOwner->OnWindowActivate();
    }

private:
    TWordApplication* FOwner;
};

TWordApplication::TWordApplication(const ComPtr<office::WordApplication>& Application)
    : THostApplication(Application), FWord(Application), FSink(MakeCom<TWordEventSink>(this))
{
    FCookie = FWord->AdviseEvents(FSink);
}

TWordApplication::~TWordApplication()
{
    Disconnect();
}

ComPtr<office::_CommandBars> TWordApplication::CommandBars()
{
    return FWord ? FWord->CommandBars() : nullptr;
}

void TWordApplication::Disconnect()
{
    if (FSink) FSink->Detach();
    if (FWord && FCookie != 0) {
        try {
            FWord->UnadviseEvents(FCookie);
        } catch (const std::exception&) {
            // A host that is gone has no events left to stop.
        }
    }
    FCookie = 0;
    FWord.Reset();
    FSink.Reset();
    THostApplication::Disconnect();
}

/// Passes Outlook's application events to its wrapper while connected; no exception goes back
/// to the host.
class TOutlookEventSink final : public ComObject<outlook::IApplicationEvents> {
public:
    explicit TOutlookEventSink(TOutlookApplication* Owner) : FOwner(Owner) {}
    void Detach() { FOwner = nullptr; }

    void ItemSend(const ComPtr<outlook::IOutlookItem>& item, bool& cancel) override
    {
        Guarded([&] {
            if (FOwner && FOwner->OnItemSend) FOwner->OnItemSend(*FOwner, item, cancel);
        });
    }
    void OptionsPagesAdd(const ComPtr<outlook::IPropertyPages>& pages) override
    {
        Guarded([&] {
            if (FOwner && FOwner->OnOptionsPagesAdd) FOwner->OnOptionsPagesAdd(*FOwner, Variant(pages));
        });
    }

private:
    template <class F>
    static void Guarded(F&& body) noexcept
    {
        try {
            body();
        } catch (const EAbort&) {
        } catch (const std::exception& e) {
            AddInUserInterface().ShowError(e.what(), "Error");
        }
    }

    TOutlookApplication* FOwner;
};

TOutlookApplication::TOutlookApplication(const ComPtr<office::OutlookApplication>& Application)
    : THostApplication(Application),
      FOutlook(Application),
      FModel(Application.As<outlook::IOutlookApplication>())
{
    if (!FModel) return;
    FSink = MakeCom<TOutlookEventSink>(this);
    FCookie = FModel->AdviseEvents(FSink);
}

TOutlookApplication::~TOutlookApplication()
{
    Disconnect();
}

ComPtr<office::IHostWindows> TOutlookApplication::Explorers()
{
    if (!FOutlook) throw ComError(E_POINTER, "The Outlook application object is disconnected.");
    return FOutlook->ExplorerWindows();
}

ComPtr<office::IHostWindow> TOutlookApplication::ActiveExplorer()
{
    if (!FOutlook) throw ComError(E_POINTER, "The Outlook application object is disconnected.");
    return FOutlook->ActiveExplorerWindow();
}

void TOutlookApplication::Disconnect()
{
    if (FSink) FSink->Detach();
    if (FModel && FCookie != 0) {
        try {
            FModel->UnadviseEvents(FCookie);
        } catch (const std::exception&) {
            // A host that is gone has no events left to stop.
        }
    }
    FCookie = 0;
    FSink.Reset();
    FModel.Reset();
    FOutlook.Reset();
    THostApplication::Disconnect();
}
