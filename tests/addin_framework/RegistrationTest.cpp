#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "addin_framework/axpErrors.h"
#include "platform/com/ComRuntime.h"
#include "platform/runtime/Registry.h"
#include "tests/addin_framework/AddInTestSupport.h"

namespace {

using test::AddInFixture;

class Registration : public AddInFixture {
protected:
    std::string UserHive() const { return test::ReadFile(sandbox_.Home() / "HKEY_CURRENT_USER.reg"); }

    /// Starts the test add-in in `host` with its toolbar and button.
    ComPtr<TTestAddIn> StartAddIn(test::ScriptedOutlookHost& host)
    {
        const auto addIn = NewAddIn();
        office::SafeArray custom;
        EXPECT_EQ(addIn->OnConnection(host.Application(), office::ext_cm_AfterStartup, nullptr, &custom),
                  S_OK);
        return addIn;
    }
};

TEST_F(Registration, WritesTheOutlookKeyWithTheFactorysValuesInOrder)
{
    InstallOutlook();
    factory_.UpdateRegistry(true);
    const std::string expected =
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\Outlook\\AddIns\\TrovantaTest.TestAddIn]\r\n"
        "\"FriendlyName\"=\"Test Add-in\"\r\n"
        "\"Description\"=\"A test add-in\"\r\n"
        "\"LoadBehavior\"=dword:00000003\r\n"
        "\"CommandLineSafe\"=dword:00000000\r\n"
        "\"CmdBars\"=\"\"\r\n"
        "\"CtrlTags\"=\"\"\r\n"
        "\"ADXStartMode\"=\"FIRSTSTART\"\r\n";
    EXPECT_NE(UserHive().find(expected), std::string::npos) << UserHive();
    EXPECT_EQ(ProgIDToClassID(test::kTestProgID), test::kTestAddInClsid);
    EXPECT_EQ(InprocServerPath(test::kTestAddInClsid), TaxpComServer::ServerFileName());
}

TEST_F(Registration, WithoutOutlookNothingIsWrittenAndRegistrationSucceeds)
{
    EXPECT_FALSE(TaxpFactory::IsHostInstalled(hiOutlook));
    EXPECT_NO_THROW(factory_.UpdateRegistry(true));
    EXPECT_FALSE(AddInKeyExists());
    EXPECT_FALSE(std::filesystem::exists(sandbox_.Home() / "HKEY_CURRENT_USER.reg") &&
                 UserHive().find("AddIns") != std::string::npos);
    EXPECT_EQ(server_.RegisterServer(), S_OK);
}

TEST_F(Registration, RegisteringAgainStartsAfreshAndTheListsGrowByText)
{
    InstallOutlook();
    factory_.RegisterAddIn();
    factory_.AddCommandBarName(hiOutlook, "My Test Bar");
    factory_.AddCommandBarName(hiOutlook, "Test Bar");  // "Test Bar\" is in "My Test Bar\": not added
    factory_.AddCommandBarName(hiOutlook, "Other");
    factory_.AddControlTag(hiOutlook, "BTN:A");
    factory_.AddControlTag(hiOutlook, "BTN:A");
    factory_.WriteAddInValue(hiOutlook, "ADXStartMode", "NORMAL");
    EXPECT_EQ(AddInValue("CmdBars"), "My Test Bar\\Other\\");
    EXPECT_EQ(AddInValue("CtrlTags"), "BTN:A\\");

    factory_.RegisterAddIn();
    EXPECT_EQ(AddInValue("CmdBars"), "");
    EXPECT_EQ(AddInValue("CtrlTags"), "");
    EXPECT_EQ(AddInValue("ADXStartMode"), "FIRSTSTART");
}

TEST_F(Registration, ValuesOfAMissingKeyReadEmptyAndTakeNoWrite)
{
    InstallOutlook();
    EXPECT_EQ(factory_.ReadAddInValue(hiOutlook, "CmdBars"), "");
    factory_.WriteAddInValue(hiOutlook, "Test Bar", "UserClose");
    factory_.AddCommandBarName(hiOutlook, "Test Bar");
    EXPECT_FALSE(AddInKeyExists()) << "the key is never created by these";
    EXPECT_EQ(factory_.GetAddInKey(hiOutlook), test::kOutlookAddInKey);
    EXPECT_EQ(factory_.GetAddInKey(hiVisio), "\\Software\\Microsoft\\Visio\\AddIns\\TrovantaTest.TestAddIn");
    EXPECT_EQ(factory_.GetAddInKey(hiMapPoint),
              "\\Software\\Microsoft\\MapPoint\\AddIns\\TrovantaTest.TestAddIn");
}

TEST_F(Registration, UnregisteringWhileOutlookCannotBeReachedStillRemovesKeyAndClass)
{
    InstallOutlook();
    factory_.UpdateRegistry(true);
    factory_.UpdateRegistry(false);
    EXPECT_FALSE(AddInKeyExists());
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(test::kTestProgID, &clsid), REGDB_E_CLASSNOTREG);
}

TEST_F(Registration, RemovingControlsFromTheRunningHostDeletesTheAddInsAndSparesTheUsers)
{
    InstallOutlook();
    factory_.RegisterAddIn();
    test::ScriptedOutlookHost host;
    const auto bars = host.OpenExplorer();
    const auto addIn = StartAddIn(host);
    // A toolbar of the add-in that the user put a control of their own on.
    const auto shared = bars->Add("Shared", office::msoBarTop);
    shared->Controls()->Add(office::msoControlButton)->SetTag("users-own");
    factory_.AddCommandBarName(hiOutlook, "Shared");
    // An item without a colon: a button with an empty tag, which must not take the user's
    // untagged button with it.
    bars->Item(1)->Controls()->Add(office::msoControlButton);
    factory_.AddControlTag(hiOutlook, "JUNK");

    std::uint32_t cookie = 0;
    ASSERT_EQ(RegisterActiveObject(host.App().Get(), ProgIDToClassID("Outlook.Application"), 0, &cookie),
              S_OK);
    factory_.RemoveControls(nullptr);
    RevokeActiveObject(cookie);

    EXPECT_EQ(test::DescribeControls(bars),
              (std::vector<std::string>{"Test Bar shown", "Test Bar/ visible=1 parameter=", "Shared hidden",
                                        "Shared/users-own visible=1 parameter="}));
    EXPECT_EQ(AddInValue("ADXStartMode"), "UNINSTALL");
    EXPECT_EQ(AddInInteger("LoadBehavior"), 0);
    EXPECT_EQ(host.QuitCount(), 0) << "a host that ran before is not quit";

    bars->Item(1)->Controls()->Item(1)->Delete();
    factory_.RemoveControls(host.App());
    EXPECT_EQ(bars->Count(), 1) << "the toolbar left empty goes";
}

/// An Outlook whose windows cannot be counted.
class BrokenOutlook final : public DispatchObject<office::OutlookApplication> {
public:
    ComPtr<office::COMAddIns> COMAddIns() override { return office::CreateCOMAddIns(); }
    ComPtr<office::_CommandBars> CommandBars() override { return {}; }
    void Quit() override { ++quits; }
    ComPtr<office::IHostWindows> ExplorerWindows() override { throw ComError(E_FAIL, "broken"); }
    ComPtr<office::IHostWindows> InspectorWindows() override { throw ComError(E_FAIL, "broken"); }
    ComPtr<office::IHostWindow> ActiveWindow() override { return {}; }
    ComPtr<office::IHostWindow> ActiveExplorerWindow() override { return {}; }
    HRESULT Invoke(DISPID, const IID&, std::uint32_t, std::uint16_t, DISPPARAMS*, Variant*, EXCEPINFO*,
                   std::uint32_t*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }
    int quits = 0;
};

TEST_F(Registration, AFailureWhileRemovingControlsIs31104)
{
    InstallOutlook();
    factory_.RegisterAddIn();
    const auto broken = MakeCom<BrokenOutlook>();
    try {
        factory_.RemoveControls(broken);
        FAIL() << "the failure must come through";
    } catch (const EaxpError& e) {
        EXPECT_EQ(e.ErrorCode(), 31104);
        EXPECT_EQ(e.Message(), "Can't unregister add-in controls.");
    }
    EXPECT_EQ(AddInValue("ADXStartMode"), "UNINSTALL") << "the key was marked before";
    EXPECT_EQ(broken->quits, 0) << "a host passed in was not started here";
    EXPECT_EQ(server_.UnregisterServer(), S_OK) << "unreachable Outlook: nothing fails";
}

/// A process whose executable is called "outlook.exe", ended with the test.
class FakeOutlookProcess {
public:
    explicit FakeOutlookProcess(const std::filesystem::path& dir)
    {
        const auto exe = dir / "outlook.exe";
        std::filesystem::copy_file("/bin/sleep", exe);
        std::string path = exe.string();
        std::string seconds = "300";
        char* argv[] = {path.data(), seconds.data(), nullptr};
        if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ) != 0) pid_ = -1;
    }
    ~FakeOutlookProcess()
    {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    bool Running() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
};

TEST_F(Registration, WithAskCloseHostsARunningHostIsAskedAboutUntilIgnoreOrCancel)
{
    InstallOutlook();
    test::TempDir dir;
    const FakeOutlookProcess outlook(dir.Path());
    ASSERT_TRUE(outlook.Running());
    TaxpComServer server("TrovantaTest");
    TaxpFactory asking(server, AddInClassOf<TTestAddIn>("TestAddIn"), test::kTestAddInClsid,
                       MakeHostSet({hiOutlook}), "Asking Add-in", "", 3, true, false);

    ui_->Answers = {mrRetry, mrCancel};
    try {
        asking.UpdateRegistry(true);
        FAIL() << "Cancel must end the registration";
    } catch (const EaxpError& e) {
        EXPECT_EQ(e.ErrorCode(), 31108);
        EXPECT_EQ(e.Message(), "The registration process has been canceled.");
    }
    ASSERT_EQ(ui_->Questions.size(), 2u);
    EXPECT_EQ(ui_->Questions[0].Text, "Please close all running host application instances:\r\nOutlook ");
    EXPECT_EQ(ui_->Questions[0].Caption, "Asking Add-in");
    EXPECT_FALSE(AddInKeyExists());

    ui_->Answers = {mrIgnore};
    asking.UpdateRegistry(true);
    EXPECT_TRUE(AddInKeyExists());
}

}  // namespace
