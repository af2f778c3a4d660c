#include "addin_framework/axpCommandBars.h"
#include "platform/com/ClassRegistry.h"
#include "tests/addin_framework/AddInTestSupport.h"

namespace {

/// Word as a test scripts it: each document window has command bars of its own, with
/// control objects of its own for the same controls.
class WordHost final : public DispatchObject<office::WordApplication> {
public:
    ComPtr<office::COMAddIns> COMAddIns() override { return addIns; }
    ComPtr<office::_CommandBars> CommandBars() override { return bars; }
    void Quit() override {}
    std::uint32_t AdviseEvents(const ComPtr<office::WordApplicationEvents>& sink) override
    {
        sinks.push_back(sink);
        return static_cast<std::uint32_t>(sinks.size());
    }
    void UnadviseEvents(std::uint32_t cookie) override { sinks.at(cookie - 1).Reset(); }
    HRESULT Invoke(DISPID, const IID&, std::uint32_t, std::uint16_t, DISPPARAMS*, Variant*, EXCEPINFO*,
                   std::uint32_t*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }
    /// Another document window becomes active, showing `windowBars`.
    void ActivateWindow(const ComPtr<office::_CommandBars>& windowBars)
    {
        bars = windowBars;
        for (const auto& sink : sinks)
            if (sink) sink->WindowActivate();
    }

    ComPtr<office::COMAddIns> addIns = office::CreateCOMAddIns();
    ComPtr<office::_CommandBars> bars = office::CreateCommandBars();
    std::vector<ComPtr<office::WordApplicationEvents>> sinks;
};

/// The controls of the test add-in as Word shows them in a window: a toolbar with an edit box.
ComPtr<office::CommandBarControl> WindowWithEditBox(const ComPtr<office::_CommandBars>& bars)
{
    const auto edit = bars->Add(kTestBar)->Controls()->Add(office::msoControlEdit);
    edit->SetTag("find");
    return edit;
}

class OtherHosts : public test::AddInFixture {};

TEST_F(OtherHosts, InWordTheComboBoxSinksFollowTheActiveWindowsControls)
{
    RegisterInprocServer(MakeGuid("{6A1C0343-7E3B-4C55-9A0E-0B4D2F6E1343}"), "Word.Application", "Word",
                         "/nonexistent/libnoword.so");
    TaxpComServer server("TrovantaTest");
    TaxpFactory wordFactory(server, AddInClassOf<TTestAddIn>("WordAddIn"), test::kTestAddInClsid,
                            MakeHostSet({hiWord}), "Word Add-in", "", 3, false, false);
    wordFactory.RegisterAddIn();
    wordFactory.WriteAddInValue(hiWord, "ADXStartMode", "NORMAL");  // no rebuild of the controls found
    const auto word = MakeCom<WordHost>();
    const auto firstWindow = WindowWithEditBox(word->bars);
    const auto created = wordFactory.CreateAddIn(server.Module());
    const auto addIn = ComPtr<TTestAddIn>::Retain(static_cast<TTestAddIn*>(created.Get()));
    addIn->OnInitialize = [](TTestAddIn& self) {
        bool isNew = false;
        ComPtr<office::CommandBarComboBox> edit;
        self.AddEdit(kTestBar, "Find", "find", "", 0, isNew, -1, nullptr, true, edit);
    };
    office::SafeArray custom;
    ASSERT_EQ(addIn->OnConnection(word.Get(), office::ext_cm_AfterStartup, nullptr, &custom), S_OK);
    EXPECT_EQ(addIn->CurrentHost(), hiWord);
    EXPECT_EQ(firstWindow->Parameter(), "0");

    const auto secondBars = office::CreateCommandBars();
    const auto secondWindow = WindowWithEditBox(secondBars);
    word->ActivateWindow(secondBars);
    EXPECT_EQ(secondWindow->Parameter(), "0") << "a new sink at the same index";
    ASSERT_EQ(addIn->Sinks().size(), 1u);
    secondWindow->Execute();
    firstWindow->Execute();  // the old sink let go of its control
    EXPECT_EQ(addIn->Log, (std::vector<std::string>{"Initialize", "Click find"}));

    ASSERT_EQ(addIn->OnBeginShutdown(&custom), S_OK);
    ASSERT_EQ(addIn->OnDisconnection(office::ext_dm_HostShutdown, &custom), S_OK);
    EXPECT_FALSE(word->sinks[0]) << "the Word wrapper stopped listening";
}

/// An interface of a descendant's own, besides IDTExtensibility2.
struct IExtraAddIn : IDispatch {
    static constexpr IID iid = MakeGuid("{6A1C0344-7E3B-4C55-9A0E-0B4D2F6E1344}");
    using Base = IDispatch;
};

class TExtraAddIn : public TaxpAddInWith<IExtraAddIn> {
public:
    using TaxpAddInWith::TaxpAddInWith;
};

TEST_F(OtherHosts, ADescendantAnswersItsOwnInterfacesWithOneIdentity)
{
    TaxpComServer server("TrovantaTest");
    TaxpFactory factory(server, AddInClassOf<TExtraAddIn>("Extra"), test::kTestAddInClsid,
                        MakeHostSet({hiOutlook}), "Extra", "", 3, false, false);
    const auto addIn = factory.CreateAddIn(server.Module());
    const auto extra = addIn.As<IExtraAddIn>();
    ASSERT_TRUE(extra);
    EXPECT_TRUE(extra.As<office::IDTExtensibility2>());
    EXPECT_TRUE(SameObject(extra.Get(), static_cast<office::IDTExtensibility2*>(addIn.Get())));
    EXPECT_EQ(server.Module().CanUnloadNow(), S_FALSE) << "the object holds the module";
    std::uint32_t count = 1;
    EXPECT_EQ(extra->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
}

}  // namespace
