#pragma once
// TaxpEventSink: receives a control's click (buttons, popups) or change (edit boxes, drop-down
// lists, combo boxes) and passes it to the add-in's ControlClick hook, when the control's
// Parameter still names this sink.

#include <cstdint>
#include <string>

#include "platform/com/ServerModule.h"
#include "platform/office/CommandBars.h"

class TaxpAddIn;

class TaxpEventSink final
    : public ComObject<office::_CommandBarButtonEvents, office::_CommandBarComboBoxEvents> {
public:
    /// A sink for `Control` at position `Index` of the add-in's control sinks: connected to the
    /// control's events (of the interface its type fires; a control without such a connection
    /// point stays unconnected), and the control's Parameter set to the decimal Index.
    static ComPtr<TaxpEventSink> Create(TaxpAddIn* AddIn, const ComPtr<office::CommandBarControl>& Control,
                                        int Index);
    /// Releases the control; the event connection stays. The sink keeps the add-in library
    /// loaded while it lives: the host may hold it after the add-in object has gone.
    ~TaxpEventSink() override = default;

    HRESULT GetTypeInfoCount(std::uint32_t* count) override;
    /// "Click" (buttons, popups) or "Change" (the others), compared case-sensitively, is
    /// member 1.
    HRESULT GetIDsOfNames(const IID& riid, const std::string* names, std::uint32_t count, std::uint32_t lcid,
                          DISPID* ids) override;
    HRESULT Invoke(DISPID member, const IID& riid, std::uint32_t lcid, std::uint16_t flags,
                   DISPPARAMS* params, Variant* result, EXCEPINFO* excepInfo, std::uint32_t* argErr) override;

    const std::string& ControlTag() const { return FControlTag; }
    int Index() const { return FIndex; }
    std::uint32_t Cookie() const { return FCookie; }
    /// Drops the reference to the control (the add-in no longer keeps it).
    void ReleaseControl() { FControl.Reset(); }
    /// Forgets the add-in, whose connection to the host has ended: later events reach no hook.
    void Detach() { FAddIn = nullptr; }
    /// Ends the event connection made last, so that the host lets go of the sink.
    void Disconnect() noexcept;

private:
    TaxpEventSink(TaxpAddIn* AddIn, const ComPtr<office::CommandBarControl>& Control, int Index);
    template <class T, class... Args>
    friend ComPtr<T> MakeCom(Args&&... args);

    /// Advises this sink on `Control`'s events of the interface its type fires.
    void ConnectTo(const ComPtr<office::CommandBarControl>& Control);
    HRESULT Dispatch(DISPPARAMS* params);

    ModuleLock FModuleLock;
    TaxpAddIn* FAddIn;
    ComPtr<office::CommandBarControl> FControl;
    int FIndex;
    std::string FControlTag;
    std::uint32_t FCookie = 0;
    /// The event interface of the connection that FCookie names; GUID_NULL when unconnected.
    IID FConnected = GUID_NULL;
};
