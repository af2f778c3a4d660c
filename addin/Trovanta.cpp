#include "addin/Trovanta.h"

#include "addin/AddInEvents.h"
#include "addin/AddInResources.h"
#include "addin/WindowLinks.h"
#include "addin_framework/axpButtonFace.h"
#include "addin_framework/axpFactory.h"
#include "addin_framework/axpModule.h"
#include "engine/MAPIUtils.h"
#include "engine/ShortcutPrompts.h"
#include "jobs/DM_Global.h"
#include "jobs/FileTools.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Text.h"
#include "platform/ui/ApplicationObject.h"
#include "platform/ui/UserInterface.h"

namespace {

std::unique_ptr<TDMGlobal>& DMGlobalInstance()
{
    static std::unique_ptr<TDMGlobal> instance;
    return instance;
}

/// The interface held by a variant; none for an empty value or one that holds no object.
ComPtr<IUnknown> InterfaceOf(const Variant& Value)
{
    const std::uint16_t type = Value.Type();
    return type == VT_UNKNOWN || type == VT_DISPATCH ? Value.ToUnknown() : nullptr;
}

}  // namespace

TDMGlobal* AddInDMGlobal()
{
    return DMGlobalInstance().get();
}

std::unique_ptr<TaxpFactory> MakeTrovantaFactory(TaxpComServer& ComServer)
{
    return std::make_unique<TaxpFactory>(ComServer, AddInClassOf<TTrovanta>("Trovanta"),
                                         typelib::CLASS_Trovanta, MakeHostSet({hiOutlook}), trovanta::kTitle,
                                         trovanta::kDescription, 3, false, false);
}

TTrovanta::TTrovanta(TaxpFactory& Factory) : TaxpAddInWith(Factory) {}

TTrovanta::~TTrovanta() = default;

void TTrovanta::InitializeAddIn()
{
    TaxpAddIn::InitializeAddIn();
    DMGlobalInstance() = std::make_unique<TDMGlobal>();
    DMGlobalInstance()->BatchMode = false;
    SetUpApplication();
    ConnectMAPIUtils();
    if (TOutlookApplication* outlook = OutlookApplication()) {
        outlook->OnOptionsPagesAdd = [this](TOutlookApplication& Sender, const Variant& Pages) {
            DoOptionsPagesAdd(Sender, Pages);
        };
        outlook->OnItemSend = [this](TOutlookApplication& Sender, const ComPtr<outlook::IOutlookItem>& Item,
                                     bool& Cancel) { DoItemSend(Sender, Item, Cancel); };
    }
    RemoveObsoleteButtons();
    AddToolbar();
}

void TTrovanta::SetUpApplication()
{
    PinAddInLibrary();
    ui::ApplicationObject& application = ui::Application();
    application.Icon = AddInIcon();
    application.HelpFile = GetHelpFileName();
    application.Title = trovanta::kTitle;
    application.HintHidePause = trovanta::kHintHidePause;
    LibraryApplication().HelpFile = application.HelpFile;
    SetHelpHandler(
        [](const std::string& HelpFile, int Context) { return ui::Ui().ShowHelp(HelpFile, Context); });
}

void TTrovanta::ConnectMAPIUtils()
{
    try {
        FMAPIUtils = std::make_unique<TMAPIUtils>();
        FMAPIUtils->Connect();
        FMAPIUtils->OnNewMail = [this](TMAPIUtils& Sender, const ComPtr<outlook::IOutlookItem>& Item) {
            DoNewMail(Sender, Item);
        };
    } catch (const Exception& e) {
        ShowAddInError(std::string(trovanta::kInitProblem) + "\r\n\r\n" + e.Message());
    }
}

void TTrovanta::RemoveObsoleteButtons()
{
    try {
        for (const char* tag : trovanta::kObsoleteButtonTags) {
            ComPtr<office::CommandBarControl> control;
            FindControl(tag, 0, control);
            if (control) control->Delete(false);
        }
    } catch (...) {
        // Old buttons that cannot be removed never stop the start-up.
    }
}

void TTrovanta::AddToolbar()
{
    bool isNew = false;
    ComPtr<office::CommandBar> bar;
    AddCommandBar(trovanta::kToolbarName, isNew, office::msoBarTop, false, bar);
    ComPtr<office::CommandBarButton> button;
    AddButton(trovanta::kToolbarName, trovanta::kButtonCaption, trovanta::kButtonTag,
              trovanta::kButtonTooltip, kButtonBitmapResource, trovanta::kButtonStyle, isNew, -1, nullptr,
              clDefault, false, button);
}

void TTrovanta::FinalizeAddIn()
{
    if (TOutlookApplication* outlook = OutlookApplication()) {
        outlook->OnItemSend = nullptr;
        outlook->OnOptionsPagesAdd = nullptr;
    }
    ReleaseMAPIUtils();
    DMGlobalInstance().reset();
    TaxpAddIn::FinalizeAddIn();
}

void TTrovanta::ReleaseMAPIUtils()
{
    if (!FMAPIUtils) return;
    const std::unique_ptr<TMAPIUtils> client = std::move(FMAPIUtils);
    client->OnNewMail = nullptr;
    // A client that never reached the server has nothing to shut down; asking it would only
    // try to reach the server again.
    if (!client->Connected()) return;
    client->Shutdown();
    client->Disconnect();
}

void TTrovanta::ControlClick(const std::string& Tag, const ComPtr<office::CommandBarControl>& Control)
{
    TaxpAddIn::ControlClick(Tag, Control);
    try {
        if (UpperCase(Tag) == UpperCase(trovanta::kButtonTag)) RunMainWindow(ObjectModel(), FMAPIUtils.get());
    } catch (const EAbort&) {
    } catch (const Exception& e) {
        ShowAddInError(e.Message());
    }
}

ComPtr<outlook::IOutlookApplication> TTrovanta::ObjectModel() const
{
    const TOutlookApplication* outlook = OutlookApplication();
    return outlook ? outlook->ObjectModel() : nullptr;
}

void TTrovanta::DoNewMail(TMAPIUtils& /*Sender*/, const ComPtr<outlook::IOutlookItem>& Item)
{
    HandleNewMail(ObjectModel(), FMAPIUtils.get(), AddInDMGlobal(), Item);
}

void TTrovanta::DoItemSend(TOutlookApplication& /*Sender*/, const ComPtr<outlook::IOutlookItem>& Item,
                           bool& Cancel)
{
    const std::unique_ptr<TShortcutPrompts> prompts = MakeShortcutPrompts();
    HandleItemSend(Item, Cancel, *prompts);
}

void TTrovanta::DoOptionsPagesAdd(TOutlookApplication& /*Sender*/, const Variant& Pages)
{
    HandleOptionsPagesAdd(InterfaceOf(Pages));
}
