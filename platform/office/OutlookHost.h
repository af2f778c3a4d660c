#pragma once
// Outlook's application object as a host program offers it to add-ins: one object that
// answers the mail client's object model (outlook::IOutlookApplication, delegated to the
// model the host runs on), Outlook's Office members (the add-in list, explorer and inspector
// windows with their command bars, Quit) and IDispatch, so that it can be passed to
// `IDTExtensibility2::OnConnection`. The host opens and closes windows through
// `IOutlookHostWindows`.

#include <filesystem>
#include <functional>

#include "platform/office/HostApplications.h"
#include "platform/outlook/Outlook.h"

namespace office {

/// The host's side of the windows; reached by `As<IOutlookHostWindows>()`.
struct IOutlookHostWindows : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0332-7E3B-4C55-9A0E-0B4D2F6E1332}");
    using Base = IUnknown;
    /// Opens an explorer (a window that shows folders) carrying `commandBars`; it becomes
    /// the active window and the active explorer.
    virtual ComPtr<IHostWindow> OpenExplorer(const ComPtr<_CommandBars>& commandBars) = 0;
    /// Opens an inspector (a window that shows one item); it becomes the active window.
    virtual ComPtr<IHostWindow> OpenInspector(const ComPtr<_CommandBars>& commandBars) = 0;
    /// Makes an open window the active one (an explorer also the active explorer).
    virtual void Activate(const ComPtr<IHostWindow>& window) = 0;
    /// Closes a window; the window opened last among those left becomes active. A window
    /// that is not open is ignored.
    virtual void Close(const ComPtr<IHostWindow>& window) = 0;
};

/// Outlook's application object over `model`. `addIns` is the host's add-in list (a new
/// empty one when none is given); `quit` runs when someone calls Quit.
ComPtr<OutlookApplication> CreateOutlookHostApplication(ComPtr<outlook::IOutlookApplication> model,
                                                        ComPtr<COMAddIns> addIns = nullptr,
                                                        std::function<void()> quit = nullptr);

/// The file in which the mail client keeps its explorer's command bars between runs.
std::filesystem::path SavedExplorerCommandBarsFile();

/// Outlook's application object as automation starts it while no mail client runs: over
/// `model`, with one explorer carrying the command bars saved in `barsFile`, so that an add-in
/// being uninstalled reaches its toolbars. Quit writes the bars back when they changed. A file
/// that cannot be read gives an explorer without bars and is never written.
ComPtr<OutlookApplication> CreateAutomationOutlookApplication(ComPtr<outlook::IOutlookApplication> model,
                                                              const std::filesystem::path& barsFile);

}  // namespace office
