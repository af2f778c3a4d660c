#pragma once
// TaxpFactory: the class factory of an Office COM add-in built on the framework. It carries
// the add-in's registration constants (friendly name, description, the hosts it serves, load
// behaviour), creates the add-in objects, writes and removes the add-in's key under each
// enabled host's add-in key when the library is registered or unregistered, and removes the
// add-in's toolbars and controls at uninstallation.
//
// The add-in key of a host, under HKEY_CURRENT_USER, is
// "\Software\Microsoft\Office\<host>\AddIns\<ProgID>" (MapPoint and Visio:
// "\Software\Microsoft\<host>\AddIns\<ProgID>") with the values FriendlyName, Description,
// LoadBehavior, CommandLineSafe, CmdBars, CtrlTags, ADXStartMode and one per toolbar.

#include <cstdint>
#include <functional>
#include <string>

#include "addin_framework/axpHosts.h"
#include "addin_framework/axpModule.h"
#include "platform/com/ServerModule.h"

class TaxpAddIn;
class TaxpComServer;
class TaxpFactory;

/// The class of an add-in object: its coclass name (the ProgID's second part) and how one is
/// made.
struct TaxpAddInClass {
    std::string Name;
    std::function<ComPtr<TaxpAddIn>(TaxpFactory& Factory, ServerModule& Module)> Create;
};

/// The add-in class T (constructed from the factory), named `Name`.
template <class T>
TaxpAddInClass AddInClassOf(std::string Name)
{
    return {std::move(Name), [](TaxpFactory& Factory, ServerModule& Module) -> ComPtr<TaxpAddIn> {
                return Module.Make<T>(Factory);
            }};
}

class TaxpFactory {
public:
    /// Registers itself with `ComServer`; the add-in class gets multiple instances per process
    /// and the apartment threading model.
    TaxpFactory(TaxpComServer& ComServer, TaxpAddInClass AddInClass, const CLSID& ClassID, THostSet HostSet,
                std::string FriendlyName, std::string Description, int LoadBehavior, bool AskCloseHosts,
                bool ExcelOpen);
    virtual ~TaxpFactory() = default;
    TaxpFactory(const TaxpFactory&) = delete;
    TaxpFactory& operator=(const TaxpFactory&) = delete;

    const std::string FriendlyName;
    const std::string Description;
    const THostSet HostSet;
    const int LoadBehavior;
    /// Ask the user to close running hosts before (un)registration.
    const bool AskCloseHosts;
    /// Register the add-in in Excel's start-up list; in Excel leave a found control whose
    /// Parameter is not empty without a sink.
    const bool ExcelOpen;

    const CLSID& ClassID() const { return FClassID; }
    /// The type library's name, "." and the class's name.
    const std::string& ProgID() const { return FProgID; }
    TaxpComServer& ComServer() const { return FComServer; }

    /// A new add-in object, holding `Module` while it lives.
    ComPtr<TaxpAddIn> CreateAddIn(ServerModule& Module);

    /// Register: the class's COM registration, then RegisterAddIn. Unregister: RemoveControls
    /// of every host, UnregisterAddIn, then the COM unregistration. Raises on failure.
    virtual void UpdateRegistry(bool Register);
    /// Writes the add-in key of every enabled, installed host (a new start: FIRSTSTART, empty
    /// lists).
    virtual void RegisterAddIn();
    /// Deletes the add-in key of every enabled, installed host.
    virtual void UnregisterAddIn();
    /// Appends `Name` + "\" to the host's "CmdBars" unless that text is in it already.
    virtual void AddCommandBarName(std::uint8_t Host, const std::string& Name);
    /// Appends `Item` + "\" to the host's "CtrlTags" unless that text is in it already.
    virtual void AddControlTag(std::uint8_t Host, const std::string& Item);
    /// Marks the add-in key UNINSTALL with LoadBehavior 0 and deletes the add-in's controls and
    /// its toolbars left empty from each enabled, installed host's command bars. `HostApp`
    /// null: the running host, or one started for it and quit afterwards. Raises 31104.
    virtual void RemoveControls(const ComPtr<IDispatch>& HostApp);

    std::string GetAddInKey(std::uint8_t Host) const;
    /// One string value of the host's add-in key; the key is never created: a missing key
    /// reads as "" and takes no write.
    std::string ReadAddInValue(std::uint8_t Host, const std::string& Name) const;
    void WriteAddInValue(std::uint8_t Host, const std::string& Name, const std::string& Value) const;
    /// The host's ProgID resolves to a class that is not the null identifier.
    static bool IsHostInstalled(std::uint8_t Host);

private:
    void ConfirmNoHostRuns();
    void RegisterExcelOpen();
    void UnregisterExcelOpen();
    void AppendToList(std::uint8_t Host, const char* ValueName, const std::string& Item);
    void RemoveHostControls(std::uint8_t Host, const ComPtr<IDispatch>& HostApp);

    TaxpComServer& FComServer;
    TaxpAddInClass FAddInClass;
    CLSID FClassID;
    std::string FProgID;
};

/// "Please close all running host application instances:\r\n" and `List`, with the buttons
/// Cancel, Retry and Ignore, titled `Caption`; the button pressed.
TaxpModalResult ConfirmHostsClosed(const std::string& List, const std::string& Caption);
