#pragma once
// TTrovanta: the system's add-in object inside the mail client. The framework creates it when
// the mail client loads the add-in library and calls its hooks: the initialise hook once the
// mail client's start-up is complete (data module, application settings, the MAPI utility
// client with its new-mail event, the mail client's item-send and options-pages events, the
// toolbar "Trovanta" with its button), the finalise hook when the mail client shuts down, and
// the control-click hook, which opens the main job window.

#include <memory>
#include <string>

#include "addin/TypeLibrary.h"
#include "addin_framework/axpAddIn.h"
#include "addin_framework/axpHostApps.h"

class TDMGlobal;
class TMAPIUtils;
class TaxpComServer;
class TaxpFactory;

/// Texts and names of the add-in.
namespace trovanta {
inline constexpr char kTitle[] = "Trovanta";
inline constexpr char kToolbarName[] = "Trovanta";
inline constexpr char kButtonCaption[] = "Trovanta";
inline constexpr char kButtonTag[] = "QEL-Button";
inline constexpr char kButtonTooltip[] = "Save e-mails and extract attachments";
inline constexpr char kDescription[] = "Save e-mails and extract attachments";
inline constexpr int kButtonStyle = 3;  // icon and caption
inline constexpr int kHintHidePause = 10000;
inline constexpr const char* kObsoleteButtonTags[] = {"QEL_EXTRACT", "QEL_SENDOPTIONS", "QEL_IMPORT"};
inline constexpr char kInitProblem[] = "The following problem occurred while initialising Trovanta:";
}  // namespace trovanta

/// The data module of the add-in library while an add-in object is connected; null otherwise.
TDMGlobal* AddInDMGlobal();

/// The class factory of the add-in object, with the add-in's registration constants (the mail
/// client only, load behaviour 3), registered with `ComServer`.
std::unique_ptr<TaxpFactory> MakeTrovantaFactory(TaxpComServer& ComServer);

class TTrovanta : public TaxpAddInWith<typelib::ITrovanta> {
public:
    explicit TTrovanta(TaxpFactory& Factory);

    void InitializeAddIn() override;
    void FinalizeAddIn() override;
    void ControlClick(const std::string& Tag, const ComPtr<office::CommandBarControl>& Control) override;

    /// The MAPI utility client while initialised; null before and after.
    TMAPIUtils* MAPIUtils() const { return FMAPIUtils.get(); }

protected:
    ~TTrovanta() override;

    // The event handlers.
    void DoNewMail(TMAPIUtils& Sender, const ComPtr<outlook::IOutlookItem>& Item);
    void DoItemSend(TOutlookApplication& Sender, const ComPtr<outlook::IOutlookItem>& Item, bool& Cancel);
    void DoOptionsPagesAdd(TOutlookApplication& Sender, const Variant& Pages);

private:
    void SetUpApplication();
    void ConnectMAPIUtils();
    void RemoveObsoleteButtons();
    void AddToolbar();
    void ReleaseMAPIUtils();
    /// The object model of the mail client the add-in is connected to.
    ComPtr<outlook::IOutlookApplication> ObjectModel() const;

    std::unique_ptr<TMAPIUtils> FMAPIUtils;
};
