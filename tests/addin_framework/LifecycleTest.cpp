#include "addin_framework/axpCommandBars.h"
#include "platform/com/ConnectionPoint.h"
#include "platform/com/ErrorInfo.h"
#include "platform/runtime/Exception.h"
#include "tests/addin_framework/AddInTestSupport.h"

namespace {

using test::AddInFixture;

class Lifecycle : public AddInFixture {
protected:
    void SetUp() override
    {
        InstallOutlook();
        factory_.RegisterAddIn();
        entry_ = host_.List(test::kTestProgID);
    }
    void TearDown() override
    {
        entry_->SetObject(nullptr);  // as a host does when it lets go of its add-ins
        AddInFixture::TearDown();
    }

    HRESULT Connect(const ComPtr<TTestAddIn>& addIn, int mode = office::ext_cm_Startup)
    {
        return addIn->OnConnection(host_.Application(), mode, entry_.Get(), &custom_);
    }
    /// The host's start-up with the add-in loaded.
    ComPtr<TTestAddIn> StartHost()
    {
        auto addIn = NewAddIn();
        EXPECT_EQ(Connect(addIn), S_OK);
        EXPECT_EQ(addIn->OnAddInsUpdate(&custom_), S_OK);
        EXPECT_EQ(addIn->OnStartupComplete(&custom_), S_OK);
        return addIn;
    }
    void ShutDownHost(const ComPtr<TTestAddIn>& addIn)
    {
        EXPECT_EQ(addIn->OnBeginShutdown(&custom_), S_OK);
        EXPECT_EQ(addIn->OnDisconnection(office::ext_dm_HostShutdown, &custom_), S_OK);
    }

    /// How many sinks the host keeps on the test button's click.
    static std::size_t ButtonSinkCount(const ComPtr<office::_CommandBars>& bars)
    {
        const auto button = bars->FindControl(std::nullopt, std::nullopt, kTestButtonTag);
        ComPtr<IConnectionPoint> point;
        button.As<IConnectionPointContainer>()->FindConnectionPoint(office::_CommandBarButtonEvents::iid,
                                                                    point.Put());
        return static_cast<ConnectionPoint*>(point.Get())->Count();
    }

    test::ScriptedOutlookHost host_;
    ComPtr<office::COMAddIn> entry_;
    office::SafeArray custom_;
};

TEST_F(Lifecycle, FirstStartInOutlookRunsTheHookMakesTheControlsAndTurnsToNormal)
{
    const auto bars = host_.OpenExplorer();
    const auto addIn = NewAddIn();
    ASSERT_EQ(Connect(addIn), S_OK);
    EXPECT_TRUE(addIn->Log.empty()) << "start-up completes later";
    EXPECT_TRUE(SameObject(entry_->Object().Get(), static_cast<office::IDTExtensibility2*>(addIn.Get())))
        << "the host's list exposes the add-in object";
    ASSERT_EQ(addIn->OnStartupComplete(&custom_), S_OK);

    EXPECT_EQ(addIn->Log, std::vector<std::string>{"Initialize"});
    EXPECT_EQ(addIn->CurrentHost(), hiOutlook);
    EXPECT_EQ(CurrentHost(), hiOutlook);
    EXPECT_EQ(AddInValue("ADXStartMode"), "NORMAL");
    EXPECT_EQ(AddInValue("CmdBars"), "Test Bar\\");
    EXPECT_EQ(AddInValue("CtrlTags"), "BTN:TEST-Button\\");
    EXPECT_EQ(AddInValue("Test Bar"), "");
    EXPECT_EQ(test::DescribeControls(bars),
              (std::vector<std::string>{"Test Bar shown", "Test Bar/TEST-Button visible=1 parameter=0"}));
    const auto button =
        bars->FindControl(std::nullopt, std::nullopt, kTestButtonTag).As<office::CommandBarButton>();
    EXPECT_EQ(button->Caption(), "Test");
    EXPECT_EQ(button->TooltipText(), "A button for tests");
    EXPECT_EQ(button->Style(), office::msoButtonIconAndCaption);
    const auto face = button->Face();
    ASSERT_EQ(face.Width, 16);
    EXPECT_EQ(face.Pixels[15 * 16], 0x00F0F0F0u) << "white took the button face colour, as background";
    EXPECT_EQ(face.Pixels[0], 0xFFC02020u);
}

TEST_F(Lifecycle, AConnectionAfterStartupRunsTheWholeStartupInsideOnConnection)
{
    host_.OpenExplorer();
    const auto addIn = NewAddIn();
    ASSERT_EQ(Connect(addIn, office::ext_cm_AfterStartup), S_OK);
    EXPECT_EQ(addIn->Log, std::vector<std::string>{"Initialize"});
    EXPECT_EQ(AddInValue("ADXStartMode"), "NORMAL");
}

TEST_F(Lifecycle, UninstallStartModeMakesNothingAndStays)
{
    const auto bars = host_.OpenExplorer();
    factory_.WriteAddInValue(hiOutlook, "ADXStartMode", "Uninstall");
    const auto addIn = StartHost();
    EXPECT_TRUE(addIn->Log.empty());
    EXPECT_EQ(bars->Count(), 0);
    EXPECT_EQ(addIn->CurrentStartMode(), smUninstall);
    EXPECT_EQ(AddInValue("ADXStartMode"), "Uninstall");
}

TEST_F(Lifecycle, WithoutItsKeyTheAddInStartsFirstAndWritesNothing)
{
    factory_.UnregisterAddIn();
    const auto bars = host_.OpenExplorer();
    const auto addIn = StartHost();
    EXPECT_EQ(addIn->Log, std::vector<std::string>{"Initialize"});
    EXPECT_EQ(addIn->CurrentStartMode(), smFirstStart);
    EXPECT_FALSE(AddInKeyExists());
    EXPECT_EQ(bars->Count(), 1) << "the controls are made; only the lists have nowhere to go";
}

/// An application object of Excel only.
class ExcelHost final : public DispatchObject<office::ExcelApplication> {
public:
    ComPtr<office::COMAddIns> COMAddIns() override { return office::CreateCOMAddIns(); }
    ComPtr<office::_CommandBars> CommandBars() override { return office::CreateCommandBars(); }
    void Quit() override {}
    HRESULT Invoke(DISPID, const IID&, std::uint32_t, std::uint16_t, DISPPARAMS*, Variant*, EXCEPINFO*,
                   std::uint32_t*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }
};

/// An application object of no Office host at all.
class NoHost final : public DispatchObject<IDispatch> {
public:
    HRESULT Invoke(DISPID, const IID&, std::uint32_t, std::uint16_t, DISPPARAMS*, Variant*, EXCEPINFO*,
                   std::uint32_t*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }
};

TEST_F(Lifecycle, AHostOutsideTheHostSetFailsStartupWith31101AndTouchesNothing)
{
    LibraryApplication().HelpFile = "/help/Test.hlp";
    for (const ComPtr<IDispatch>& app :
         {ComPtr<IDispatch>(MakeCom<ExcelHost>()), ComPtr<IDispatch>(MakeCom<NoHost>())}) {
        const auto addIn = NewAddIn();
        ClearErrorInfo();
        EXPECT_EQ(addIn->OnConnection(app.Get(), office::ext_cm_AfterStartup, nullptr, &custom_),
                  E_UNEXPECTED);
        const auto info = GetErrorInfo();
        ASSERT_TRUE(info);
        EXPECT_EQ(
            info->description,
            "Add-in Test Add-in initialization is failed. This Add-in doesn't support this application.");
        EXPECT_EQ(info->source, test::kTestProgID);
        EXPECT_EQ(info->helpFile, "/help/Test.hlp");
        EXPECT_TRUE(addIn->Log.empty());
        EXPECT_EQ(AddInValue("ADXStartMode"), "FIRSTSTART");
    }
    LibraryApplication().HelpFile.clear();
}

TEST_F(Lifecycle, ShutdownInOutlookHidesAndMarksAndTheNextStartShowsAgain)
{
    const auto bars = host_.OpenExplorer();
    auto addIn = StartHost();
    FindCommandBar("Test Bar", bars)->SetNameLocal("Testleiste");  // the mark still goes by the name
    ShutDownHost(addIn);
    EXPECT_EQ(addIn->Log, (std::vector<std::string>{"Initialize", "Finalize"}));
    EXPECT_EQ(
        test::DescribeControls(bars),
        (std::vector<std::string>{"Test Bar hidden", "Test Bar/TEST-Button visible=0 parameter=UserClose"}));
    EXPECT_EQ(AddInValue("Test Bar"), "UserClose");
    EXPECT_EQ(ButtonSinkCount(bars), 0u) << "the host holds no dead connection";
    EXPECT_TRUE(addIn->Sinks().empty());
    EXPECT_EQ(addIn->Bars().Count(), 0u);
    EXPECT_FALSE(addIn->KeptCommandBars());
    EXPECT_FALSE(addIn->Instance());

    const auto button = bars->FindControl(std::nullopt, std::nullopt, kTestButtonTag);
    addIn = NewAddIn();
    bool buttonNew = true;
    addIn->OnInitialize = [&](TTestAddIn& self) { buttonNew = self.AddStandardControls(); };
    ASSERT_EQ(Connect(addIn), S_OK);
    ASSERT_EQ(addIn->OnStartupComplete(&custom_), S_OK);
    ASSERT_EQ(addIn->OnStartupComplete(&custom_), S_OK);
    EXPECT_EQ(addIn->Log, std::vector<std::string>{"Initialize"}) << "a second start-up does nothing";
    EXPECT_EQ(ButtonSinkCount(bars), 1u);
    EXPECT_FALSE(buttonNew);
    EXPECT_EQ(bars->FindControl(std::nullopt, std::nullopt, kTestButtonTag).Get(), button.Get())
        << "not made anew";
    EXPECT_EQ(test::DescribeControls(bars),
              (std::vector<std::string>{"Test Bar shown", "Test Bar/TEST-Button visible=1 parameter=0"}));
    EXPECT_EQ(AddInValue("Test Bar"), "");
}

TEST_F(Lifecycle, UserDisconnectionWhileListedHidesButKeepsControlsAndLoadBehavior)
{
    const auto bars = host_.OpenExplorer();
    const auto addIn = StartHost();
    // Someone else's visible button on the add-in's toolbar keeps it shown.
    bars->Item(1)->Controls()->Add(office::msoControlButton)->SetTag("someone-else");
    ASSERT_EQ(addIn->OnDisconnection(office::ext_dm_UserClosed, &custom_), S_OK);
    EXPECT_EQ(addIn->Log, (std::vector<std::string>{"Initialize", "Finalize"}));
    EXPECT_EQ(
        test::DescribeControls(bars),
        (std::vector<std::string>{"Test Bar shown", "Test Bar/TEST-Button visible=0 parameter=UserClose",
                                  "Test Bar/someone-else visible=1 parameter="}));
    EXPECT_EQ(AddInValue("Test Bar"), "") << "a toolbar kept visible is not marked";
    EXPECT_EQ(AddInInteger("LoadBehavior"), 3);
    EXPECT_EQ(AddInValue("ADXStartMode"), "NORMAL");
    EXPECT_FALSE(addIn->Removing());
}

TEST_F(Lifecycle, UserRemovalFromTheListDeletesControlsAndMarksTheKeyUninstall)
{
    const auto bars = host_.OpenExplorer();
    const auto addIn = StartHost();
    host_.Unlist(test::kTestProgID);
    ASSERT_EQ(addIn->OnDisconnection(office::ext_dm_UserClosed, &custom_), S_OK);
    EXPECT_EQ(bars->Count(), 0) << "the control and the toolbar left empty are deleted";
    EXPECT_EQ(AddInValue("ADXStartMode"), "UNINSTALL");
    EXPECT_EQ(AddInInteger("LoadBehavior"), 0);
    EXPECT_EQ(host_.QuitCount(), 0);

    const auto again = StartHost();
    EXPECT_TRUE(again->Log.empty()) << "an uninstalled add-in makes nothing";
}

TEST_F(Lifecycle, LoadedForRegistrationNoHookRunsButTheStartModeAndShutdownMarksAdvance)
{
    const auto bars = host_.OpenExplorer();
    {
        const TRegistrationScope registering;
        const auto addIn = StartHost();
        EXPECT_TRUE(addIn->Log.empty());
        EXPECT_EQ(AddInValue("ADXStartMode"), "NORMAL");
        ShutDownHost(addIn);
    }
    const auto addIn = StartHost();  // makes the controls
    const TRegistrationScope registering;
    ShutDownHost(addIn);
    EXPECT_EQ(addIn->Log, std::vector<std::string>{"Initialize"}) << "no finalise hook";
    EXPECT_EQ(
        test::DescribeControls(bars),
        (std::vector<std::string>{"Test Bar hidden", "Test Bar/TEST-Button visible=0 parameter=UserClose"}));
}

TEST_F(Lifecycle, FailingHooksAreShownAndStartupAndShutdownGoOn)
{
    const auto bars = host_.OpenExplorer();
    const auto addIn = NewAddIn();
    addIn->OnInitialize = [](TTestAddIn& self) {
        self.AddStandardControls();
        throw Exception("no server");
    };
    addIn->OnFinalize = [](TTestAddIn&) { throw EAbort(); };
    ASSERT_EQ(Connect(addIn), S_OK);
    ASSERT_EQ(addIn->OnStartupComplete(&custom_), S_OK);
    EXPECT_EQ(TakeErrors(),
              std::vector<std::string>{"Test Add-in error: the add-in has fired an exception.\r\nno server"});
    EXPECT_EQ(ui_->Errors.size(), 0u);
    EXPECT_EQ(AddInValue("ADXStartMode"), "NORMAL");
    ShutDownHost(addIn);
    EXPECT_TRUE(TakeErrors().empty()) << "the silent abort is never shown";
    EXPECT_EQ(AddInValue("Test Bar"), "UserClose") << "shutdown went on";
}

TEST_F(Lifecycle, HandleErrorShowsItsTextInAnErrorBox)
{
    const auto addIn = NewAddIn();
    addIn->HandleError(Exception("Line one.\r\nLine two."));
    ASSERT_EQ(ui_->Errors.size(), 1u);
    EXPECT_EQ(ui_->Errors[0].Text,
              "Test Add-in error: the add-in has fired an exception.\r\nLine one.\r\nLine two.");
    EXPECT_EQ(ui_->Errors[0].Caption, "Error");
    TakeErrors();
}

TEST_F(Lifecycle, WithoutAWindowThereAreNoCommandBarsAndShutdownDoesNothing)
{
    const auto addIn = StartHost();
    EXPECT_EQ(addIn->Log, std::vector<std::string>{"Initialize"});
    EXPECT_FALSE(addIn->KeptCommandBars());
    EXPECT_TRUE(addIn->Sinks().empty());
    EXPECT_EQ(AddInValue("CmdBars"), "");
    ShutDownHost(addIn);
    EXPECT_EQ(AddInValue("ADXStartMode"), "NORMAL");
}

TEST_F(Lifecycle, CallsOutOfOrderFailInsteadOfCrashing)
{
    const auto addIn = NewAddIn();
    EXPECT_EQ(addIn->OnStartupComplete(&custom_), E_UNEXPECTED);
    EXPECT_EQ(addIn->OnBeginShutdown(&custom_), E_UNEXPECTED);
    EXPECT_EQ(addIn->OnAddInsUpdate(&custom_), S_OK);
    EXPECT_TRUE(addIn->Log.empty());
}

TEST_F(Lifecycle, OutlooksEventsReachTheWrapperWhileConnected)
{
    host_.OpenExplorer();
    const auto addIn = StartHost();
    TOutlookApplication* outlook = addIn->OutlookApplication();
    ASSERT_NE(outlook, nullptr);
    EXPECT_EQ(outlook->ObjectModel().Get(), host_.App().As<outlook::IOutlookApplication>().Get());
    outlook->OnItemSend = [](TOutlookApplication&, const ComPtr<outlook::IOutlookItem>&, bool& cancel) {
        cancel = true;
    };
    EXPECT_TRUE(host_.Model()->RaiseItemSend());
    outlook->OnItemSend = [](TOutlookApplication&, const ComPtr<outlook::IOutlookItem>&, bool&) {
        throw Exception("send failed");
    };
    EXPECT_FALSE(host_.Model()->RaiseItemSend()) << "an exception stays in the add-in";
    EXPECT_EQ(TakeErrors(), std::vector<std::string>{"send failed"});
    ShutDownHost(addIn);
    EXPECT_EQ(addIn->OutlookApplication(), nullptr);
    EXPECT_EQ(host_.Model()->SinkCount(), 0u);
}

}  // namespace
