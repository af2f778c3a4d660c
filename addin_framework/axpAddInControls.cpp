// TaxpAddIn: the toolbars and controls an add-in adds to its host's command bars, and the
// sinks through which their events reach it.

#include "addin_framework/axpAddIn.h"
#include "addin_framework/axpButtonFace.h"
#include "addin_framework/axpCommandBars.h"
#include "addin_framework/axpErrors.h"
#include "addin_framework/axpEventSink.h"
#include "addin_framework/axpFactory.h"
#include "addin_framework/axpResources.h"
#include "platform/com/ComError.h"

namespace {

constexpr const char* MarkerFirstStart = "FirstStart";
constexpr const char* MarkerUserClose = "UserClose";

/// The control asked for interface T; raises the failure of the request when it lacks it.
template <class T>
ComPtr<T> ControlAs(const ComPtr<office::CommandBarControl>& Control)
{
    ComPtr<T> typed;
    OleCheck(Control->QueryInterface(T::iid, typed.PutVoid()));
    return typed;
}

}  // namespace

void TaxpAddIn::AddCommandBar(const std::string& Name, bool& New, int Position, bool Temporary,
                              ComPtr<office::CommandBar>& Bar)
{
    AddCommandBar(GetActiveCommandBars(), Name, New, Position, Temporary, Bar);
}

void TaxpAddIn::AddCommandBar(const ComPtr<office::_CommandBars>& CommandBars, const std::string& Name,
                              bool& New, int Position, bool Temporary, ComPtr<office::CommandBar>& Bar)
{
    Bar.Reset();
    if (Host == hiOutlook && Name.find('\'') != std::string::npos) RaiseIllegalBarName(Name);
    if (Host == hiMapPoint) RaiseMapPoint();
    if (!CommandBars) return;
    Bar = FindCommandBar(Name, CommandBars);
    if (Bar && FFactory.ReadAddInValue(Host, Name) == MarkerFirstStart) {
        // Made in a run that did not finish its start: made anew (once, whatever the host
        // left behind).
        Bar->Delete();
        Bar.Reset();
    }
    New = !Bar;
    if (!Bar) {
        Bar = CommandBars->Add(Name, Position, std::nullopt, Temporary);
        Bar->SetNameLocal(Name);
        FFactory.WriteAddInValue(Host, Name, MarkerFirstStart);
    }
    if (!Bar) return;
    // A toolbar found from an earlier registration is the add-in's too: uninstalling removes it.
    FFactory.AddCommandBarName(Host, Name);
    if (BarNames.IndexOf(Name) < 0) BarNames.Add(Name);
    const std::string marker = FFactory.ReadAddInValue(Host, Name);
    if ((marker == MarkerFirstStart || marker == MarkerUserClose) && Position != office::msoBarPopup)
        Bar->SetVisible(true);
    FFactory.WriteAddInValue(Host, Name, "");
}

void TaxpAddIn::FindControl(const std::string& Tag, std::uint8_t TypeIndex,
                            ComPtr<office::CommandBarControl>& Control)
{
    FindControl(GetActiveCommandBars(), Tag, TypeIndex, Control);
}

void TaxpAddIn::FindControl(const ComPtr<office::_CommandBars>& CommandBars, const std::string& Tag,
                            std::uint8_t TypeIndex, ComPtr<office::CommandBarControl>& Control)
{
    Control.Reset();
    if (!CommandBars) return;
    Control = FindControlByTag(CommandBars, OfficeControlType(TypeIndex), Tag);
}

void TaxpAddIn::AddControl(const std::string& BarName, const std::string& Caption, const std::string& Tag,
                           const std::string& TooltipText, std::uint8_t TypeIndex, bool& New, int Before,
                           const ComPtr<office::CommandBarPopup>& Parent, bool Temporary,
                           ComPtr<office::CommandBarControl>& Control)
{
    AddControl(GetActiveCommandBars(), BarName, Caption, Tag, TooltipText, TypeIndex, New, Before, Parent,
               Temporary, Control);
}

void TaxpAddIn::AddControl(const ComPtr<office::_CommandBars>& CommandBars, const std::string& BarName,
                           const std::string& Caption, const std::string& Tag, const std::string& TooltipText,
                           std::uint8_t TypeIndex, bool& New, int Before,
                           const ComPtr<office::CommandBarPopup>& Parent, bool Temporary,
                           ComPtr<office::CommandBarControl>& Control)
{
    Control.Reset();
    if (Host == hiMapPoint) RaiseMapPoint();
    if (!CommandBars) return;
    const int officeType = OfficeControlType(TypeIndex);
    const std::string item = ControlTypeName(TypeIndex) + ":" + Tag;
    Control = FindControlByTag(CommandBars, officeType, Tag);
    New = !Control;
    if (New) {
        ComPtr<office::CommandBarControls> target;
        if (Parent) {
            target = Parent->Controls();
        } else {
            const auto bar = FindCommandBar(BarName, CommandBars);
            if (!bar) RaiseCommandBarNotFound(Caption, BarName);
            target = bar->Controls();
        }
        Control = target->Add(officeType, std::nullopt, std::nullopt,
                              Before == -1 ? std::nullopt : std::optional<int>(Before), Temporary);
        Control->SetTag(Tag);
        Control->SetCaption(Caption);
        Control->SetTooltipText(TooltipText);
        Control->SetParameter(MarkerFirstStart);
        FFactory.AddControlTag(Host, item);
    } else if (FRebuildDepth == 0 &&
               (Control->Parameter() == MarkerFirstStart || StartMode == smFirstStart)) {
        // Made in a run that did not finish its start, or on the first start: made anew, once;
        // a control the host fails to delete is taken as it is.
        Control->Delete(false);
        ++FRebuildDepth;
        struct TRebuilt {
            int& Depth;
            ~TRebuilt() { --Depth; }
        } rebuilt{FRebuildDepth};
        AddControl(CommandBars, BarName, Caption, Tag, TooltipText, TypeIndex, New, Before, Parent, false,
                   Control);
        FFactory.AddControlTag(Host, item);
    }
    if (!Control) return;
    const std::string marker = Control->Parameter();
    if (marker == MarkerFirstStart || marker == MarkerUserClose) {
        Control->SetVisible(true);
        Control->SetParameter("");
    }
    if (Host == hiExcel && FFactory.ExcelOpen && !Control->Parameter().empty()) return;
    Control->SetParameter("");
    AddControlSink(Control, item);
}

void TaxpAddIn::AddControlSink(const ComPtr<office::CommandBarControl>& Control, const std::string& Text)
{
    const int index = static_cast<int>(ControlSinks.size());
    ControlSinks.push_back({Text, TaxpEventSink::Create(this, Control, index)});
}

void TaxpAddIn::AddButton(const std::string& BarName, const std::string& Caption, const std::string& Tag,
                          const std::string& TooltipText, const std::string& BitmapName, int Style, bool& New,
                          int Before, const ComPtr<office::CommandBarPopup>& Parent, TColor TransparentColor,
                          bool Temporary, ComPtr<office::CommandBarButton>& Button)
{
    AddButton(GetActiveCommandBars(), BarName, Caption, Tag, TooltipText, BitmapName, Style, New, Before,
              Parent, TransparentColor, Temporary, Button);
}

void TaxpAddIn::AddButton(const ComPtr<office::_CommandBars>& CommandBars, const std::string& BarName,
                          const std::string& Caption, const std::string& Tag, const std::string& TooltipText,
                          const std::string& BitmapName, int Style, bool& New, int Before,
                          const ComPtr<office::CommandBarPopup>& Parent, TColor TransparentColor,
                          bool Temporary, ComPtr<office::CommandBarButton>& Button)
{
    Button.Reset();
    ComPtr<office::CommandBarControl> control;
    AddControl(CommandBars, BarName, Caption, Tag, TooltipText, 0, New, Before, Parent, Temporary, control);
    if (!control) return;
    Button = ControlAs<office::CommandBarButton>(control);
    if (!New) return;
    Button->SetStyle(Style);
    if (!BitmapName.empty()) AddButtonFace(Button, BitmapName, TransparentColor);
}

// The face goes to the button directly; the system clipboard is left alone.
void TaxpAddIn::AddButtonFace(const ComPtr<office::CommandBarButton>& Button, const std::string& BitmapName,
                              TColor TransparentColor)
{
    Button->SetFace(MakeButtonFace(LoadBitmapResource(BitmapName), TransparentColor));
}

void TaxpAddIn::AddEdit(const std::string& BarName, const std::string& Caption, const std::string& Tag,
                        const std::string& TooltipText, int Style, bool& New, int Before,
                        const ComPtr<office::CommandBarPopup>& Parent, bool Temporary,
                        ComPtr<office::CommandBarComboBox>& Edit)
{
    AddEdit(GetActiveCommandBars(), BarName, Caption, Tag, TooltipText, Style, New, Before, Parent, Temporary,
            Edit);
}

void TaxpAddIn::AddEdit(const ComPtr<office::_CommandBars>& CommandBars, const std::string& BarName,
                        const std::string& Caption, const std::string& Tag, const std::string& TooltipText,
                        int Style, bool& New, int Before, const ComPtr<office::CommandBarPopup>& Parent,
                        bool Temporary, ComPtr<office::CommandBarComboBox>& Edit)
{
    Edit.Reset();
    ComPtr<office::CommandBarControl> control;
    AddControl(CommandBars, BarName, Caption, Tag, TooltipText, 1, New, Before, Parent, Temporary, control);
    if (!control) return;
    Edit = ControlAs<office::CommandBarComboBox>(control);
    if (New) Edit->SetStyle(Style);
}

void TaxpAddIn::AddComboBox(const std::string& BarName, const std::string& Caption, const std::string& Tag,
                            const std::string& TooltipText, int Style, bool IsDropDown, bool& New, int Before,
                            const ComPtr<office::CommandBarPopup>& Parent, bool Temporary,
                            ComPtr<office::CommandBarComboBox>& Combo)
{
    AddComboBox(GetActiveCommandBars(), BarName, Caption, Tag, TooltipText, Style, IsDropDown, New, Before,
                Parent, Temporary, Combo);
}

void TaxpAddIn::AddComboBox(const ComPtr<office::_CommandBars>& CommandBars, const std::string& BarName,
                            const std::string& Caption, const std::string& Tag,
                            const std::string& TooltipText, int Style, bool IsDropDown, bool& New, int Before,
                            const ComPtr<office::CommandBarPopup>& Parent, bool Temporary,
                            ComPtr<office::CommandBarComboBox>& Combo)
{
    Combo.Reset();
    ComPtr<office::CommandBarControl> control;
    AddControl(CommandBars, BarName, Caption, Tag, TooltipText, IsDropDown ? 2 : 3, New, Before, Parent,
               Temporary, control);
    if (!control) return;
    Combo = ControlAs<office::CommandBarComboBox>(control);
    if (New) Combo->SetStyle(Style);
}

void TaxpAddIn::AddPopup(const std::string& BarName, const std::string& Caption, const std::string& Tag,
                         const std::string& TooltipText, bool& New, int Before,
                         const ComPtr<office::CommandBarPopup>& Parent, bool Temporary,
                         ComPtr<office::CommandBarPopup>& Popup)
{
    AddPopup(GetActiveCommandBars(), BarName, Caption, Tag, TooltipText, New, Before, Parent, Temporary,
             Popup);
}

void TaxpAddIn::AddPopup(const ComPtr<office::_CommandBars>& CommandBars, const std::string& BarName,
                         const std::string& Caption, const std::string& Tag, const std::string& TooltipText,
                         bool& New, int Before, const ComPtr<office::CommandBarPopup>& Parent, bool Temporary,
                         ComPtr<office::CommandBarPopup>& Popup)
{
    Popup.Reset();
    ComPtr<office::CommandBarControl> control;
    AddControl(CommandBars, BarName, Caption, Tag, TooltipText, 4, New, Before, Parent, Temporary, control);
    if (control) Popup = ControlAs<office::CommandBarPopup>(control);
}

// Word makes new control objects for each document window: the sinks of its edit boxes,
// drop-down lists and combo boxes follow the controls of the window that became active.
void TaxpAddIn::WordWindowActivate()
{
    try {
        auto* word = static_cast<TWordApplication*>(HostApps[hiWord].get());
        const auto commandBars = word ? word->CommandBars() : nullptr;
        for (std::size_t i = 0; commandBars && i < ControlSinks.size(); ++i) {
            int type = 0;
            for (const auto& [name, officeType] :
                 {std::pair{"CBOX:", office::msoControlComboBox}, std::pair{"EDT:", office::msoControlEdit},
                  std::pair{"DROPDOWN:", office::msoControlDropdown}}) {
                if (ControlSinks[i].Text.find(name) != std::string::npos) type = officeType;
            }
            if (type == 0) continue;
            const auto old = ControlSinks[i].Sink;
            const auto control = FindControlByTag(commandBars, type, old->ControlTag());
            if (!control) continue;
            old->Detach();
            old->Disconnect();
            ControlSinks[i].Sink = TaxpEventSink::Create(this, control, static_cast<int>(i));
        }
    } catch (const std::exception&) {
        // A window change never fails.
    }
    if (!PrevWindowActivate) return;
    try {
        PrevWindowActivate();
    } catch (const std::exception&) {
    }
}
