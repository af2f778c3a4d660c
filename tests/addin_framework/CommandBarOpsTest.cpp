#include "addin_framework/axpErrors.h"
#include "addin_framework/axpEventSink.h"
#include "tests/addin_framework/AddInTestSupport.h"

namespace {

using test::AddInFixture;

/// The test add-in started in Outlook with an explorer, its start hook left to each test.
class CommandBarOps : public AddInFixture {
protected:
    void SetUp() override
    {
        InstallOutlook();
        factory_.RegisterAddIn();
        bars_ = host_.OpenExplorer();
    }

    ComPtr<TTestAddIn> Start(std::function<void(TTestAddIn&)> initialize = nullptr)
    {
        auto addIn = NewAddIn();
        if (initialize) addIn->OnInitialize = std::move(initialize);
        EXPECT_EQ(addIn->OnConnection(host_.Application(), office::ext_cm_AfterStartup, nullptr, &custom_),
                  S_OK);
        return addIn;
    }
    void Stop(const ComPtr<TTestAddIn>& addIn)
    {
        EXPECT_EQ(addIn->OnBeginShutdown(&custom_), S_OK);
        EXPECT_EQ(addIn->OnDisconnection(office::ext_dm_HostShutdown, &custom_), S_OK);
    }
    ComPtr<office::CommandBarControl> Button() const
    {
        return bars_->FindControl(std::nullopt, std::nullopt, kTestButtonTag);
    }
    /// A toolbar and button as an earlier run of the add-in left them.
    ComPtr<office::CommandBarButton> LeftOver(const std::string& parameter)
    {
        const auto bar = bars_->Add(kTestBar, office::msoBarTop);
        const auto button = bar->Controls()->Add(office::msoControlButton).As<office::CommandBarButton>();
        button->SetTag(kTestButtonTag);
        button->SetParameter(parameter);
        button->SetVisible(false);
        button->SetStyle(office::msoButtonCaption);
        return button;
    }

    test::ScriptedOutlookHost host_;
    ComPtr<office::_CommandBars> bars_;
    office::SafeArray custom_;
};

TEST_F(CommandBarOps, AToolbarMarkedUserCloseIsShownUnlessItIsAPopupBarAndTheMarkIsCleared)
{
    for (const int position : {office::msoBarTop, office::msoBarPopup}) {
        const auto existing = bars_->Add("Marked", position);
        factory_.WriteAddInValue(hiOutlook, "Marked", "UserClose");
        const auto addIn = Start([&](TTestAddIn& self) {
            bool isNew = true;
            ComPtr<office::CommandBar> bar;
            self.AddCommandBar("marked", isNew, position, false, bar);
            EXPECT_FALSE(isNew);
            EXPECT_EQ(bar.Get(), existing.Get()) << "found by name ignoring case";
        });
        EXPECT_EQ(existing->Visible(), position != office::msoBarPopup);
        EXPECT_EQ(AddInValue("Marked"), "");
        EXPECT_EQ(addIn->Bars().Count(), 1u);
        existing->Delete();
    }
}

TEST_F(CommandBarOps, AToolbarMarkedFirstStartIsMadeAnew)
{
    const auto old = LeftOver("0");
    factory_.WriteAddInValue(hiOutlook, kTestBar, "FirstStart");
    ComPtr<office::CommandBar> made;
    bool isNew = false;
    Start([&](TTestAddIn& self) { self.AddCommandBar(kTestBar, isNew, office::msoBarTop, false, made); });
    EXPECT_TRUE(isNew);
    ASSERT_TRUE(made);
    EXPECT_EQ(bars_->Count(), 1);
    EXPECT_EQ(made->Controls()->Count(), 0) << "the old bar went with its controls";
    EXPECT_TRUE(made->Visible());
    EXPECT_EQ(AddInValue(kTestBar), "");
}

TEST_F(CommandBarOps, NamesAndToolbarsThatCannotBeUsedRaiseTheirErrors)
{
    Start([](TTestAddIn& self) {
        bool isNew = false;
        ComPtr<office::CommandBar> bar;
        try {
            self.AddCommandBar("Bob's", isNew, office::msoBarTop, false, bar);
            ADD_FAILURE() << "an apostrophe is refused in Outlook";
        } catch (const EaxpError& e) {
            EXPECT_EQ(e.ErrorCode(), 31103);
            EXPECT_EQ(e.Message(), "Illegal character in the Bob's commandbar name.");
        }
        ComPtr<office::CommandBarControl> control;
        try {
            self.AddControl("Missing", "Go", "go", "", 0, isNew, -1, nullptr, false, control);
            ADD_FAILURE() << "a control needs its toolbar";
        } catch (const EaxpError& e) {
            EXPECT_EQ(e.ErrorCode(), 31102);
            EXPECT_EQ(e.Message(),
                      "Control Go initialization is failed. Can not find the Missing Command Bar.");
        }
    });
    EXPECT_EQ(bars_->Count(), 0);
}

TEST_F(CommandBarOps, AControlMarkedUserCloseIsShownWithANewSinkButNotRestyled)
{
    factory_.WriteAddInValue(hiOutlook, "ADXStartMode", "NORMAL");
    const auto old = LeftOver("UserClose");
    bool buttonNew = true;
    const auto addIn = Start([&](TTestAddIn& self) { buttonNew = self.AddStandardControls(); });
    EXPECT_FALSE(buttonNew);
    EXPECT_EQ(Button().Get(), static_cast<office::CommandBarControl*>(old.Get()));
    EXPECT_TRUE(old->Visible());
    EXPECT_EQ(old->Parameter(), "0");
    EXPECT_EQ(old->Style(), office::msoButtonCaption);
    EXPECT_TRUE(old->Face().Empty());
    EXPECT_EQ(addIn->Sinks().size(), 1u);
}

TEST_F(CommandBarOps, OnFirstStartAnExistingControlIsRebuiltWithItsFace)
{
    const auto old = LeftOver("");
    bool buttonNew = false;
    const auto addIn = Start([&](TTestAddIn& self) { buttonNew = self.AddStandardControls(); });
    EXPECT_TRUE(buttonNew);
    const auto rebuilt = Button().As<office::CommandBarButton>();
    EXPECT_NE(rebuilt.As<IUnknown>().Get(), old.As<IUnknown>().Get());
    EXPECT_EQ(rebuilt->Style(), office::msoButtonIconAndCaption);
    EXPECT_FALSE(rebuilt->Face().Empty());
    EXPECT_EQ(AddInValue("CtrlTags"), "BTN:TEST-Button\\") << "the list keeps one copy";
    ASSERT_EQ(addIn->Sinks().size(), 2u) << "one sink from the rebuild, one from the outer call";
    EXPECT_EQ(rebuilt->Parameter(), "1") << "the control names the second";
    rebuilt->Execute();
    EXPECT_EQ(addIn->Log, (std::vector<std::string>{"Initialize", "Click TEST-Button"}))
        << "only one sink passes it on";
}

TEST_F(CommandBarOps, ClicksReachTheHookOnceEachAndFailuresAreShown)
{
    const auto addIn = Start();
    const auto button = Button();
    button->Execute();
    button->Execute();
    EXPECT_EQ(addIn->Log, (std::vector<std::string>{"Initialize", "Click TEST-Button", "Click TEST-Button"}));
    EXPECT_EQ(button->Caption(), "Clicked 2");
    EXPECT_EQ(button->Parameter(), "0");

    button->SetParameter("7");  // another instance's control, or an old sink's
    button->Execute();
    EXPECT_EQ(addIn->Log.size(), 3u);

    button->SetParameter("0");
    addIn->OnClick = [](const std::string&, const ComPtr<office::CommandBarControl>&) {
        throw Exception("cannot open the window");
    };
    EXPECT_NO_THROW(button->Execute());
    EXPECT_EQ(TakeErrors(),
              std::vector<std::string>{
                  "Test Add-in error: the add-in has fired an exception.\r\ncannot open the window"});
}

TEST_F(CommandBarOps, AClickAfterTheAddInDisconnectedReachesOnlyTheNextInstance)
{
    auto first = Start();
    Stop(first);
    const auto second = Start();
    ASSERT_EQ(Button()->Parameter(), "0") << "the same index the first instance's sink had";
    Button()->Execute();
    EXPECT_EQ(first->Log, (std::vector<std::string>{"Initialize", "Finalize"}));
    EXPECT_EQ(second->Log, (std::vector<std::string>{"Initialize", "Click TEST-Button"}));
    first.Reset();
    EXPECT_NO_THROW(Button()->Execute()) << "the old sink outlives its add-in harmlessly";
    EXPECT_EQ(second->Log.size(), 3u);
}

TEST_F(CommandBarOps, ShutdownEndsTheSinksConnectionsSoTheLibraryCanUnload)
{
    auto addIn = Start();
    Stop(addIn);
    addIn.Reset();
    EXPECT_EQ(server_.Module().CanUnloadNow(), S_OK) << "the hidden button holds no dead sink";
    EXPECT_EQ(bars_->Item(1)->Controls()->Count(), 1) << "the button itself stays";
}

TEST_F(CommandBarOps, EditBoxesCombosAndPopupsCarryTheirOwnEvents)
{
    ComPtr<office::CommandBarComboBox> edit;
    ComPtr<office::CommandBarComboBox> dropDown;
    ComPtr<office::CommandBarPopup> popup;
    ComPtr<office::CommandBarButton> inner;
    const auto addIn = Start([&](TTestAddIn& self) {
        bool isNew = false;
        ComPtr<office::CommandBar> bar;
        self.AddCommandBar(kTestBar, isNew, office::msoBarTop, false, bar);
        self.AddEdit(kTestBar, "Find", "find", "", office::msoComboLabel, isNew, -1, nullptr, false, edit);
        self.AddComboBox(kTestBar, "Pick", "pick", "", 0, true, isNew, -1, nullptr, false, dropDown);
        self.AddPopup(kTestBar, "More", "more", "", isNew, 1, nullptr, false, popup);
        self.AddButton(kTestBar, "Inner", "inner", "", "", 0, isNew, -1, popup, clDefault, false, inner);
    });
    EXPECT_EQ(edit->Type(), office::msoControlEdit);
    EXPECT_EQ(edit->Style(), office::msoComboLabel);
    EXPECT_EQ(dropDown->Type(), office::msoControlDropdown);
    EXPECT_EQ(bars_->Item(1)->Controls()->Item(1)->Tag(), "more") << "Before 1 puts the popup first";
    EXPECT_EQ(popup->Controls()->Item(1)->Tag(), "inner");
    EXPECT_EQ(AddInValue("CtrlTags"), "EDT:find\\DROPDOWN:pick\\POPUP:more\\BTN:inner\\");
    edit->Execute();
    inner->Execute();
    EXPECT_EQ(addIn->Log, (std::vector<std::string>{"Initialize", "Click find", "Click inner"}));
}

TEST_F(CommandBarOps, TheSinksDispatchMembersFollowTheControlsType)
{
    const auto addIn = Start();
    ComPtr<TaxpEventSink> sink = addIn->Sinks().at(0).Sink;
    DISPID id = 0;
    const std::string click = "Click";
    const std::string lower = "click";
    const std::string two[] = {"Click", "Change"};
    EXPECT_EQ(sink->GetIDsOfNames(GUID_NULL, &click, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(sink->GetIDsOfNames(GUID_NULL, &lower, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(sink->GetIDsOfNames(GUID_NULL, two, 2, 0, &id), E_INVALIDARG);
    EXPECT_EQ(sink->GetIDsOfNames(GUID_NULL, nullptr, 1, 0, &id), E_POINTER);
    std::uint32_t count = 9;
    EXPECT_EQ(sink->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);

    DispArgs noArgs({});
    EXPECT_EQ(sink->Invoke(2, GUID_NULL, 0, DISPATCH_METHOD, noArgs.Params(), nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(sink->Invoke(1, GUID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), E_POINTER);
    EXPECT_EQ(sink->Invoke(1, GUID_NULL, 0, DISPATCH_METHOD, noArgs.Params(), nullptr, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    DispArgs notAControl({Variant("text")});
    EXPECT_NE(sink->Invoke(1, GUID_NULL, 0, DISPATCH_METHOD, notAControl.Params(), nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(addIn->Log, std::vector<std::string>{"Initialize"});

    ComPtr<office::CommandBarComboBox> edit;
    addIn->OnInitialize = nullptr;
    bool isNew = false;
    addIn->AddEdit(kTestBar, "Find", "find", "", 0, isNew, -1, nullptr, false, edit);
    const std::string change = "Change";
    EXPECT_EQ(addIn->Sinks().back().Sink->GetIDsOfNames(GUID_NULL, &change, 1, 0, &id), S_OK);
    EXPECT_EQ(addIn->Sinks().back().Sink->GetIDsOfNames(GUID_NULL, &click, 1, 0, &id), DISP_E_UNKNOWNNAME);
}

TEST_F(CommandBarOps, TheActiveFormsWorkOnTheActiveExplorer)
{
    const auto addIn = Start([](TTestAddIn&) {});
    const auto second = host_.OpenExplorer();
    bool isNew = false;
    ComPtr<office::CommandBar> bar;
    addIn->AddCommandBar("Second", isNew, office::msoBarTop, false, bar);
    EXPECT_EQ(second->Count(), 1);
    EXPECT_EQ(bars_->Count(), 0);
    host_.CloseWindows();
    ComPtr<office::CommandBarControl> control;
    addIn->AddControl("Second", "x", "x", "", 0, isNew, -1, nullptr, false, control);
    EXPECT_FALSE(control) << "without an explorer there are no command bars";
}

}  // namespace
