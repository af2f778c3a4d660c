#pragma once
// What the framework's tests share: a host that scripts Outlook (its application object with
// an explorer window and command bars, its add-in list), a user interface that records what
// the framework shows, and a fixture with a registry of its own, a COM server and a factory
// of the test add-in.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "addin_framework/axpComServer.h"
#include "addin_framework/axpFactory.h"
#include "addin_framework/axpModule.h"
#include "platform/office/COMAddInsImpl.h"
#include "platform/office/CommandBarsImpl.h"
#include "platform/office/OutlookHost.h"
#include "tests/addin_framework/TestAddIn.h"
#include "tests/platform/com/ComSandbox.h"

namespace test {

inline constexpr CLSID kTestAddInClsid = MakeGuid("{6A1C0340-7E3B-4C55-9A0E-0B4D2F6E1340}");
inline constexpr char kTestProgID[] = "TrovantaTest.TestAddIn";
inline constexpr char kTestFriendlyName[] = "Test Add-in";
inline constexpr char kOutlookAddInKey[] =
    "\\Software\\Microsoft\\Office\\Outlook\\AddIns\\TrovantaTest.TestAddIn";

/// The mail client's object model as far as the framework touches it: its events.
class StubOutlookModel final : public ComObject<outlook::IOutlookApplication> {
public:
    ComPtr<outlook::INameSpace> GetNamespace(const std::string&) override { return {}; }
    ComPtr<outlook::IExplorer> ActiveExplorer() override { return {}; }
    ComPtr<outlook::IExplorers> Explorers() override { return {}; }
    ComPtr<outlook::IOutlookItem> CreateItemFromTemplate(const std::string&) override { return {}; }
    std::uint32_t AdviseEvents(const ComPtr<outlook::IApplicationEvents>& sink) override;
    void UnadviseEvents(std::uint32_t cookie) override;
    /// Raises ItemSend; true when a sink cancelled.
    bool RaiseItemSend();
    std::size_t SinkCount() const { return sinks_.size(); }

private:
    std::vector<std::pair<std::uint32_t, ComPtr<outlook::IApplicationEvents>>> sinks_;
    std::uint32_t next_ = 1;
};

/// Outlook as a test scripts it, built on the platform's host objects.
class ScriptedOutlookHost {
public:
    ScriptedOutlookHost();
    /// Opens an explorer with command bars of its own and returns them.
    ComPtr<office::_CommandBars> OpenExplorer();
    void CloseWindows();
    IDispatch* Application() const { return app_.Get(); }
    const ComPtr<office::OutlookApplication>& App() const { return app_; }
    const ComPtr<StubOutlookModel>& Model() const { return model_; }
    /// The add-in's entry in the add-in list (added when missing).
    ComPtr<office::COMAddIn> List(const std::string& progID);
    void Unlist(const std::string& progID);
    int QuitCount() const { return quits_; }

private:
    ComPtr<StubOutlookModel> model_;
    ComPtr<office::COMAddIns> addIns_;
    ComPtr<office::OutlookApplication> app_;
    std::vector<ComPtr<office::IHostWindow>> windows_;
    int quits_ = 0;
};

/// Records what the framework shows; questions get `Answer`.
class RecordingUserInterface final : public TaxpUserInterface {
public:
    struct Shown {
        std::string Text;
        std::string Caption;
    };
    void ShowError(const std::string& Text, const std::string& Caption) override;
    TaxpModalResult AskCancelRetryIgnore(const std::string& Text, const std::string& Caption) override;

    std::vector<Shown> Errors;
    std::vector<Shown> Questions;
    std::vector<TaxpModalResult> Answers;
};

/// A registry of its own, the recording user interface, a COM server "TrovantaTest" and the
/// factory of TTestAddIn for Outlook. Tear-down checks that no error was shown unexpectedly:
/// a test that expects one takes it with TakeErrors.
class AddInFixture : public testing::Test {
protected:
    AddInFixture();
    ~AddInFixture() override;
    void TearDown() override;

    /// Registers the ProgID "Outlook.Application", so that Outlook counts as installed.
    void InstallOutlook();
    /// A new add-in object of the factory.
    ComPtr<TTestAddIn> NewAddIn();
    /// The errors shown so far; forgets them.
    std::vector<std::string> TakeErrors();

    /// A value of the test add-in's Outlook key ("" when missing), an integer value (-1).
    static std::string AddInValue(const std::string& name);
    static int AddInInteger(const std::string& name);
    static bool AddInKeyExists();

    ComSandbox sandbox_;
    RecordingUserInterface* ui_ = nullptr;
    std::unique_ptr<TaxpUserInterface> previousUi_;
    TaxpComServer server_{"TrovantaTest"};
    TaxpFactory factory_;
};

/// Every control of a command bars collection, depth first, as "<bar>/<tag>" lines with their
/// Visible flag and Parameter: "Test Bar/TEST-Button visible=1 parameter=0".
std::vector<std::string> DescribeControls(const ComPtr<office::_CommandBars>& bars);

}  // namespace test
