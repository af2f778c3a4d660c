#pragma once
// The add-in class of the framework's tests: it logs its hooks and, unless told otherwise,
// adds the toolbar "Test Bar" with the button "TEST-Button" and counts clicks in the
// button's caption. Built into the tests and into the test add-in library.

#include <functional>
#include <string>
#include <vector>

#include "addin_framework/axpAddIn.h"

inline constexpr char kTestBar[] = "Test Bar";
inline constexpr char kTestButtonTag[] = "TEST-Button";
inline constexpr char kTestBitmap[] = "BMP16TEST";

class TTestAddIn : public TaxpAddIn {
public:
    using TaxpAddIn::TaxpAddIn;

    /// "Initialize", "Finalize", "Click <tag>", in the order the hooks ran.
    std::vector<std::string> Log;
    /// Replace what the hooks do.
    std::function<void(TTestAddIn&)> OnInitialize;
    std::function<void(TTestAddIn&)> OnFinalize;
    std::function<void(const std::string&, const ComPtr<office::CommandBarControl>&)> OnClick;

    void InitializeAddIn() override;
    void FinalizeAddIn() override;
    void ControlClick(const std::string& Tag, const ComPtr<office::CommandBarControl>& Control) override;

    /// Adds (or finds) "Test Bar" and its button on the active command bars; the button's New.
    bool AddStandardControls();

    // What the tests look at.
    TStartMode CurrentStartMode() const { return StartMode; }
    std::uint8_t CurrentHost() const { return Host; }
    const std::vector<TControlSink>& Sinks() const { return ControlSinks; }
    const TStringList& Bars() const { return BarNames; }
    bool Removing() const { return UserRemoval; }
    const ComPtr<office::COMAddIn>& Instance() const { return AddInInst; }
    const ComPtr<office::_CommandBars>& KeptCommandBars() const { return HostCommandBars; }

private:
    int FClicks = 0;
};
