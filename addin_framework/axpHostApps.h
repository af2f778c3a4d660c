#pragma once
// The add-in's typed holds on the host's application object, one kind per host: the generic
// one (the host's Office members), Word's (its window-activation event) and Outlook's
// `TOutlookApplication` (its windows with their command bars, the mail client's object model
// and the application's item-send and options-pages events).

#include <cstdint>
#include <functional>

#include "platform/office/HostApplications.h"
#include "platform/outlook/Outlook.h"

/// A connection to a host's application object; `Disconnect` lets go of it.
class THostApplication {
public:
    explicit THostApplication(ComPtr<office::IOfficeApplication> Application);
    virtual ~THostApplication() = default;
    THostApplication(const THostApplication&) = delete;
    THostApplication& operator=(const THostApplication&) = delete;

    /// The host's object; empty after Disconnect.
    const ComPtr<office::IOfficeApplication>& DefaultInterface() const { return FApplication; }
    /// Lets go of the host's object and of its events.
    virtual void Disconnect();

private:
    ComPtr<office::IOfficeApplication> FApplication;
};

class TWordEventSink;

/// Word's application object with its window-activation event.
class TWordApplication final : public THostApplication {
public:
    explicit TWordApplication(const ComPtr<office::WordApplication>& Application);
    ~TWordApplication() override;

    /// Runs when a document window becomes active.
    std::function<void()> OnWindowActivate;

    /// Word's command bars; none when the object is gone.
    ComPtr<office::_CommandBars> CommandBars();
    void Disconnect() override;

private:
    ComPtr<office::WordApplication> FWord;
    ComPtr<TWordEventSink> FSink;
    std::uint32_t FCookie = 0;
};

class TOutlookApplication;

/// `Sender`, the item about to be sent, and whether to stop the send.
using TOutlookItemSendEvent =
    std::function<void(TOutlookApplication& Sender, const ComPtr<outlook::IOutlookItem>& Item, bool& Cancel)>;
/// `Sender` and a variant holding the options dialog's pages collection.
using TOutlookOptionsPagesAddEvent = std::function<void(TOutlookApplication& Sender, const Variant& Pages)>;

class TOutlookEventSink;

/// Outlook's application object. The application's events reach `OnItemSend` and
/// `OnOptionsPagesAdd` while they are set; an exception that leaves a handler is shown
/// through the framework's user interface, never passed to the host.
class TOutlookApplication final : public THostApplication {
public:
    explicit TOutlookApplication(const ComPtr<office::OutlookApplication>& Application);
    ~TOutlookApplication() override;

    TOutlookItemSendEvent OnItemSend;
    TOutlookOptionsPagesAddEvent OnOptionsPagesAdd;

    /// Outlook's explorers and its active explorer (empty when none), as windows.
    ComPtr<office::IHostWindows> Explorers();
    ComPtr<office::IHostWindow> ActiveExplorer();
    /// The mail client's object model behind the application object; empty when the host
    /// offers none (or after Disconnect).
    const ComPtr<outlook::IOutlookApplication>& ObjectModel() const { return FModel; }

    void Disconnect() override;

private:
    ComPtr<office::OutlookApplication> FOutlook;
    ComPtr<outlook::IOutlookApplication> FModel;
    ComPtr<TOutlookEventSink> FSink;
    std::uint32_t FCookie = 0;
};
