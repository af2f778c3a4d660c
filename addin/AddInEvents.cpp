#include "addin/AddInEvents.h"

#include "addin/TypeLibrary.h"

#include <optional>

#include "engine/EmailProcessor.h"
#include "engine/SendCapture.h"
#include "jobs/Options.h"
#include "platform/runtime/Exception.h"
#include "platform/ui/UserInterface.h"

void ShowAddInError(const std::string& Text)
{
    ui::ShowMessage(nullptr, Text, kAddInTitle, ui::MsgIcon::Error);
}

namespace {

/// The failure of processing one new e-mail, or nothing. The engine is gone when this
/// returns, so the message box shows after the clean-up.
std::optional<std::string> ProcessNewMail(const ComPtr<outlook::IOutlookApplication>& Application,
                                          TMAPIUtils* MAPIUtils, const TDMGlobal* DMGlobal,
                                          const ComPtr<outlook::IOutlookItem>& Item)
{
    TEmailProcessor processor;
    processor.SetApplication(Application);
    processor.SetMAPIUtils(MAPIUtils);
    processor.SetDMGlobal(DMGlobal);
    try {
        processor.AutoOptions().LoadFromRegistry(RegKeyAuto);
        processor.MeOptions().LoadFromRegistry(RegKeyMe);
        if (processor.AutoOptions().Active) processor.ProcessNewMail(Item);
    } catch (const EAbort&) {
        return std::nullopt;  // the silent abort is never shown
    } catch (const Exception& e) {
        return e.Message();
    }
    return std::nullopt;
}

void LoadSendOptions(TSendOptions& Options)
{
    Options.Clear();
    try {
        Options.LoadFromRegistry(RegKeySend);
    } catch (const Exception&) {
        Options.Clear();  // an unreadable option acts as the default
    }
}

/// Replaces the shortcuts and saves the send option back, also when the replacing failed;
/// then the replacing's failure passes on (a failing save does not hide it).
void CaptureAndSave(const ComPtr<outlook::IOutlookItem>& Item, TShortcutPrompts& Prompts,
                    std::string& Refused)
{
    TSendCapture capture(Prompts);
    capture.OnShortcutRefused = [&Refused](const std::string& Msg) {
        Refused += (Refused.empty() ? "" : "\r\n") + Msg;
    };
    LoadSendOptions(capture.Options());
    try {
        capture.ProcessItem(Item);
    } catch (const Exception&) {
        try {
            capture.Options().SaveToRegistry(RegKeySend);
        } catch (const Exception&) {
        }
        throw;
    }
    capture.Options().SaveToRegistry(RegKeySend);
}

}  // namespace

void HandleNewMail(const ComPtr<outlook::IOutlookApplication>& Application, TMAPIUtils* MAPIUtils,
                   const TDMGlobal* DMGlobal, const ComPtr<outlook::IOutlookItem>& Item)
{
    const std::optional<std::string> failure = ProcessNewMail(Application, MAPIUtils, DMGlobal, Item);
    if (failure && !failure->empty()) ShowAddInError(*failure);
}

void HandleItemSend(const ComPtr<outlook::IOutlookItem>& Item, bool& Cancel, TShortcutPrompts& Prompts)
{
    Cancel = false;
    // A shortcut left alone because its file lies outside the folders attachments are saved
    // to leaves as a shortcut; the user is told once the e-mail is handled.
    std::string refused;
    try {
        CaptureAndSave(Item, Prompts, refused);
        if (!refused.empty()) ShowAddInError(refused);
    } catch (const EAbort&) {
        Cancel = true;
    } catch (const Exception& e) {
        Cancel = true;
        ShowAddInError(e.Message());
    }
}

void HandleOptionsPagesAdd(const ComPtr<IUnknown>& Pages)
{
    if (!Pages) return;
    const auto pages = Pages.As<outlook::IPropertyPages>();
    if (!pages) return;
    pages->Add(typelib::kOptionPageProgID, kOptionPageTitle);
}
