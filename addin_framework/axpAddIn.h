#pragma once
// TaxpAddIn: the generic COM add-in object of the framework. An Office host creates it
// through the add-in's class factory (TaxpFactory) and reports connection, start-up, shutdown
// and disconnection through IDTExtensibility2. The object finds out which host it runs in,
// reads and advances the add-in's start mode in the host's add-in key, keeps the host's
// command bars and the toolbars and controls the add-in made, and calls three hooks that a
// descendant overrides: InitializeAddIn, FinalizeAddIn and ControlClick. At shutdown it hides
// and marks what it made, so that the next start shows it again.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "addin_framework/axpButtonFace.h"
#include "addin_framework/axpHostApps.h"
#include "addin_framework/axpHosts.h"
#include "platform/office/AddIns.h"
#include "platform/office/CommandBars.h"
#include "platform/runtime/Registry.h"
#include "platform/runtime/StringList.h"

class TaxpFactory;
class TaxpEventSink;

/// One entry of the add-in's control sinks: "<type name>:<tag>" and the control's sink; the
/// entry's position is the sink's index.
struct TControlSink {
    std::string Text;
    ComPtr<TaxpEventSink> Sink;
};

class TaxpAddIn : public office::IDTExtensibility2 {
public:
    explicit TaxpAddIn(TaxpFactory& Factory);
    TaxpAddIn(const TaxpAddIn&) = delete;
    TaxpAddIn& operator=(const TaxpAddIn&) = delete;

    // IUnknown: IUnknown, IDispatch, IDTExtensibility2, then what QueryOwnInterface answers.
    HRESULT QueryInterface(const IID& riid, void** object) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;
    // IDispatch: the add-in object has no late-bound members of its own.
    HRESULT GetTypeInfoCount(std::uint32_t* count) override;
    HRESULT GetIDsOfNames(const IID& riid, const std::string* names, std::uint32_t count, std::uint32_t lcid,
                          DISPID* ids) override;
    HRESULT Invoke(DISPID member, const IID& riid, std::uint32_t lcid, std::uint16_t flags,
                   DISPPARAMS* params, Variant* result, EXCEPINFO* excepInfo, std::uint32_t* argErr) override;

    // IDTExtensibility2. An exception that leaves one of these becomes E_UNEXPECTED, with its
    // message, the factory's ProgID and the library's help file as the error information.
    HRESULT OnConnection(IDispatch* Application, int ConnectMode, IDispatch* AddInInst,
                         office::SafeArray* custom) override;
    HRESULT OnDisconnection(int RemoveMode, office::SafeArray* custom) override;
    HRESULT OnAddInsUpdate(office::SafeArray* custom) override;
    HRESULT OnStartupComplete(office::SafeArray* custom) override;
    HRESULT OnBeginShutdown(office::SafeArray* custom) override;

    // Toolbars and controls. The first form of each works on GetActiveCommandBars(), the
    // second on the command bars given. The out argument is cleared first; with no command
    // bars nothing else happens (New is then left as it was). Before -1 appends.
    virtual void AddCommandBar(const std::string& Name, bool& New, int Position, bool Temporary,
                               ComPtr<office::CommandBar>& Bar);
    virtual void AddCommandBar(const ComPtr<office::_CommandBars>& CommandBars, const std::string& Name,
                               bool& New, int Position, bool Temporary, ComPtr<office::CommandBar>& Bar);
    virtual void FindControl(const std::string& Tag, std::uint8_t TypeIndex,
                             ComPtr<office::CommandBarControl>& Control);
    virtual void FindControl(const ComPtr<office::_CommandBars>& CommandBars, const std::string& Tag,
                             std::uint8_t TypeIndex, ComPtr<office::CommandBarControl>& Control);
    virtual void AddControl(const std::string& BarName, const std::string& Caption, const std::string& Tag,
                            const std::string& TooltipText, std::uint8_t TypeIndex, bool& New, int Before,
                            const ComPtr<office::CommandBarPopup>& Parent, bool Temporary,
                            ComPtr<office::CommandBarControl>& Control);
    virtual void AddControl(const ComPtr<office::_CommandBars>& CommandBars, const std::string& BarName,
                            const std::string& Caption, const std::string& Tag,
                            const std::string& TooltipText, std::uint8_t TypeIndex, bool& New, int Before,
                            const ComPtr<office::CommandBarPopup>& Parent, bool Temporary,
                            ComPtr<office::CommandBarControl>& Control);
    virtual void AddButton(const std::string& BarName, const std::string& Caption, const std::string& Tag,
                           const std::string& TooltipText, const std::string& BitmapName, int Style,
                           bool& New, int Before, const ComPtr<office::CommandBarPopup>& Parent,
                           TColor TransparentColor, bool Temporary, ComPtr<office::CommandBarButton>& Button);
    virtual void AddButton(const ComPtr<office::_CommandBars>& CommandBars, const std::string& BarName,
                           const std::string& Caption, const std::string& Tag, const std::string& TooltipText,
                           const std::string& BitmapName, int Style, bool& New, int Before,
                           const ComPtr<office::CommandBarPopup>& Parent, TColor TransparentColor,
                           bool Temporary, ComPtr<office::CommandBarButton>& Button);
    virtual void AddEdit(const std::string& BarName, const std::string& Caption, const std::string& Tag,
                         const std::string& TooltipText, int Style, bool& New, int Before,
                         const ComPtr<office::CommandBarPopup>& Parent, bool Temporary,
                         ComPtr<office::CommandBarComboBox>& Edit);
    virtual void AddEdit(const ComPtr<office::_CommandBars>& CommandBars, const std::string& BarName,
                         const std::string& Caption, const std::string& Tag, const std::string& TooltipText,
                         int Style, bool& New, int Before, const ComPtr<office::CommandBarPopup>& Parent,
                         bool Temporary, ComPtr<office::CommandBarComboBox>& Edit);
    virtual void AddComboBox(const std::string& BarName, const std::string& Caption, const std::string& Tag,
                             const std::string& TooltipText, int Style, bool IsDropDown, bool& New,
                             int Before, const ComPtr<office::CommandBarPopup>& Parent, bool Temporary,
                             ComPtr<office::CommandBarComboBox>& Combo);
    virtual void AddComboBox(const ComPtr<office::_CommandBars>& CommandBars, const std::string& BarName,
                             const std::string& Caption, const std::string& Tag,
                             const std::string& TooltipText, int Style, bool IsDropDown, bool& New,
                             int Before, const ComPtr<office::CommandBarPopup>& Parent, bool Temporary,
                             ComPtr<office::CommandBarComboBox>& Combo);
    virtual void AddPopup(const std::string& BarName, const std::string& Caption, const std::string& Tag,
                          const std::string& TooltipText, bool& New, int Before,
                          const ComPtr<office::CommandBarPopup>& Parent, bool Temporary,
                          ComPtr<office::CommandBarPopup>& Popup);
    virtual void AddPopup(const ComPtr<office::_CommandBars>& CommandBars, const std::string& BarName,
                          const std::string& Caption, const std::string& Tag, const std::string& TooltipText,
                          bool& New, int Before, const ComPtr<office::CommandBarPopup>& Parent,
                          bool Temporary, ComPtr<office::CommandBarPopup>& Popup);

    // The hooks; they do nothing here.
    /// Creates the add-in's toolbars and controls and subscribes to host events.
    virtual void InitializeAddIn();
    /// Undoes what InitializeAddIn did.
    virtual void FinalizeAddIn();
    /// A click or change of one of the add-in's controls.
    virtual void ControlClick(const std::string& Tag, const ComPtr<office::CommandBarControl>& Control);

    /// Shows "<friendly name> error: the add-in has fired an exception.\r\n<message>" in a
    /// modal error box and returns when it is closed. The silent abort is not shown.
    void HandleError(const std::exception& E);
    /// Word only: connects the sinks of the combo-box controls to the controls of the window
    /// that became active, then calls the handler that was there before.
    void WordWindowActivate();
    /// The command bars the first form of the operations works on: in Outlook those of the
    /// active explorer (none without one), elsewhere the host's command bars.
    ComPtr<office::_CommandBars> GetActiveCommandBars();

    TaxpFactory& Factory() const { return FFactory; }
    /// Outlook's application object while connected to Outlook; null otherwise.
    TOutlookApplication* OutlookApplication() const;

protected:
    virtual ~TaxpAddIn();
    /// A descendant answers the interfaces of its own here (see TaxpAddInWith).
    virtual bool QueryOwnInterface(const IID& riid, void** object);

    // The state of a connection, in the order the framework declares it.
    Variant HostApp;
    TStartMode StartMode = smFirstStart;
    std::unique_ptr<TRegistry> Registry;
    std::function<void()> PrevWindowActivate;
    std::array<std::unique_ptr<THostApplication>, HostCount> HostApps;
    ComPtr<office::_CommandBars> HostCommandBars;
    ComPtr<office::COMAddIn> AddInInst;
    std::uint8_t Host = 0;
    bool UserRemoval = false;
    std::vector<TControlSink> ControlSinks;
    TStringList BarNames;

private:
    friend class TaxpEventSink;

    /// Runs one IDTExtensibility2 operation: an exception becomes E_UNEXPECTED with error info.
    template <class F>
    HRESULT Guarded(F&& Body) noexcept;
    void StartupComplete(office::SafeArray* custom);
    void BeginShutdown();
    void Disconnection(int RemoveMode, office::SafeArray* custom);
    void EndConnection() noexcept;
    /// Forgets every control sink: it reaches no hook and lets go of its control.
    void ReleaseControlSinks() noexcept;
    void DetectHost();
    void ReadStartMode();
    void InstallWordWindowActivate();
    void HideControls();
    void HideCommandBars();
    bool ListedInHost();
    void AddControlSink(const ComPtr<office::CommandBarControl>& Control, const std::string& Text);
    void AddButtonFace(const ComPtr<office::CommandBarButton>& Button, const std::string& BitmapName,
                       TColor TransparentColor);
    std::string AddInKey() const;

    TaxpFactory& FFactory;
    std::atomic<std::uint32_t> FRefCount{0};
    /// Start-up completed in this connection: a second OnStartupComplete does nothing.
    bool FStarted = false;
    /// How deep AddControl is inside its own rebuild of a found control (0 or 1).
    int FRebuildDepth = 0;
};

/// A descendant add-in class that implements dispatch interfaces of its own besides
/// IDTExtensibility2 (its type library's default interface, for example):
///   class TMyAddIn : public TaxpAddInWith<IMyAddIn> { ... };
template <class... Own>
class TaxpAddInWith : public TaxpAddIn, public Own... {
public:
    using TaxpAddIn::TaxpAddIn;

    HRESULT QueryInterface(const IID& riid, void** object) override
    {
        return TaxpAddIn::QueryInterface(riid, object);
    }
    std::uint32_t AddRef() override { return TaxpAddIn::AddRef(); }
    std::uint32_t Release() override { return TaxpAddIn::Release(); }
    HRESULT GetTypeInfoCount(std::uint32_t* count) override { return TaxpAddIn::GetTypeInfoCount(count); }
    HRESULT GetIDsOfNames(const IID& riid, const std::string* names, std::uint32_t count, std::uint32_t lcid,
                          DISPID* ids) override
    {
        return TaxpAddIn::GetIDsOfNames(riid, names, count, lcid, ids);
    }
    HRESULT Invoke(DISPID member, const IID& riid, std::uint32_t lcid, std::uint16_t flags,
                   DISPPARAMS* params, Variant* result, EXCEPINFO* excepInfo, std::uint32_t* argErr) override
    {
        return TaxpAddIn::Invoke(member, riid, lcid, flags, params, result, excepInfo, argErr);
    }

protected:
    bool QueryOwnInterface(const IID& riid, void** object) override
    {
        return (TryOwn<Own>(riid, object) || ...);
    }

private:
    template <class I>
    bool TryOwn(const IID& riid, void** object)
    {
        if (riid != I::iid) return false;
        *object = static_cast<I*>(this);
        AddRef();
        return true;
    }
};
