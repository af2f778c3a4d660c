#include "tests/addin_framework/TestAddIn.h"

void TTestAddIn::InitializeAddIn()
{
    Log.push_back("Initialize");
    if (OnInitialize)
        OnInitialize(*this);
    else
        AddStandardControls();
}

void TTestAddIn::FinalizeAddIn()
{
    Log.push_back("Finalize");
    if (OnFinalize) OnFinalize(*this);
}

void TTestAddIn::ControlClick(const std::string& Tag, const ComPtr<office::CommandBarControl>& Control)
{
    Log.push_back("Click " + Tag);
    if (OnClick)
        OnClick(Tag, Control);
    else
        Control->SetCaption("Clicked " + std::to_string(++FClicks));
}

bool TTestAddIn::AddStandardControls()
{
    bool isNew = false;
    ComPtr<office::CommandBar> bar;
    AddCommandBar(kTestBar, isNew, office::msoBarTop, false, bar);
    ComPtr<office::CommandBarButton> button;
    isNew = false;
    AddButton(kTestBar, "Test", kTestButtonTag, "A button for tests", kTestBitmap,
              office::msoButtonIconAndCaption, isNew, -1, nullptr, clDefault, false, button);
    return isNew;
}
