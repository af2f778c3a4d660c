#include <gtest/gtest.h>

#include "platform/com/ComError.h"
#include "platform/office/CommandBarsImpl.h"

namespace {

using namespace office;

/// A sink that records the events it hears: "<DISPID> <control tag>" and the cancel flag.
class RecordingSink final : public DispatchObject<_CommandBarButtonEvents, _CommandBarComboBoxEvents> {
public:
    HRESULT Invoke(DISPID member, const IID&, std::uint32_t, std::uint16_t, DISPPARAMS* params, Variant*,
                   EXCEPINFO*, std::uint32_t*) override
    {
        const auto control = ArgAt(params, 0)->ToUnknown().As<CommandBarControl>();
        heard.push_back(std::to_string(member) + " " + control->Tag() +
                        " args=" + std::to_string(params->cArgs));
        if (const Variant* cancel = ArgAt(params, 1)) *cancel->ToBoolRef() = true;
        return S_OK;
    }
    std::vector<std::string> heard;
};

std::uint32_t Advise(const ComPtr<CommandBarControl>& control, const IID& events,
                     const ComPtr<RecordingSink>& sink)
{
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(control.As<IConnectionPointContainer>()->FindConnectionPoint(events, point.Put()), S_OK);
    std::uint32_t cookie = 0;
    EXPECT_EQ(point->Advise(static_cast<_CommandBarButtonEvents*>(sink.Get()), &cookie), S_OK);
    return cookie;
}

ComPtr<CommandBarControl> AddTagged(const ComPtr<CommandBar>& bar, int type, const std::string& tag)
{
    auto control = bar->Controls()->Add(type);
    control->SetTag(tag);
    return control;
}

TEST(CommandBars, BarsAreAddedFoundAndDeletedByName)
{
    const auto bars = CreateCommandBars();
    const auto first = bars->Add("Standard", msoBarTop);
    const auto unnamed = bars->Add();
    EXPECT_EQ(unnamed->Name(), "Custom 1");
    EXPECT_FALSE(first->Visible()) << "a new bar starts hidden";
    EXPECT_EQ(first->NameLocal(), "Standard");
    first->SetNameLocal("Standard (local)");
    EXPECT_EQ(first->Name(), "Standard");
    EXPECT_THROW(bars->Add("STANDARD"), ComError) << "names are unique ignoring case";
    ASSERT_EQ(bars->Count(), 2);
    EXPECT_EQ(bars->Item(2).Get(), unnamed.Get());
    EXPECT_THROW(bars->Item(3), ComError);
    EXPECT_THROW(bars->Item(0), ComError);

    first->Delete();
    EXPECT_EQ(bars->Count(), 1);
    EXPECT_THROW(first->Name(), ComError) << "a deleted bar raises";
    EXPECT_NO_THROW(bars->Add("Standard")) << "its name is free again";
}

TEST(CommandBars, ControlsAnswerTheInterfaceOfTheirTypeOnly)
{
    const auto bar = CreateCommandBars()->Add("Bar");
    const auto controls = bar->Controls();
    const auto button = controls->Add(msoControlButton);
    const auto edit = controls->Add(msoControlEdit);
    const auto popup = controls->Add(msoControlPopup);
    EXPECT_TRUE(button.As<CommandBarButton>());
    EXPECT_FALSE(button.As<CommandBarComboBox>());
    EXPECT_TRUE(edit.As<CommandBarComboBox>());
    EXPECT_FALSE(edit.As<CommandBarPopup>());
    EXPECT_TRUE(popup.As<CommandBarPopup>());
    EXPECT_FALSE(popup.As<CommandBarButton>());
    EXPECT_THROW(controls->Add(msoControlCustom), ComError);
    EXPECT_EQ(button->Parent().Get(), bar.Get());
    EXPECT_TRUE(button->Visible()) << "a new control starts visible";
}

TEST(CommandBars, BeforePlacesAControlAndDeleteTakesItOut)
{
    const auto bar = CreateCommandBars()->Add("Bar");
    const auto controls = bar->Controls();
    const auto a = AddTagged(bar, msoControlButton, "a");
    const auto c = AddTagged(bar, msoControlButton, "c");
    const auto b = controls->Add(msoControlButton, std::nullopt, "param", 2, true);
    b->SetTag("b");
    AddTagged(bar, msoControlButton, "d");
    controls->Add(msoControlButton, std::nullopt, std::nullopt, 99)->SetTag("e");  // past the end: appended
    std::string order;
    for (int i = 1; i <= controls->Count(); ++i) order += controls->Item(i)->Tag();
    EXPECT_EQ(order, "abcde");
    EXPECT_EQ(b->Parameter(), "param");

    c->Delete();
    EXPECT_EQ(controls->Count(), 4);
    EXPECT_THROW(c->Tag(), ComError);
    bar->Delete();
    EXPECT_THROW(a->Caption(), ComError) << "the controls of a deleted bar are deleted";
    EXPECT_THROW(controls->Count(), ComError);
}

TEST(CommandBars, FindControlMatchesEveryCriterionGivenDepthFirst)
{
    const auto bars = CreateCommandBars();
    const auto hidden = bars->Add("Hidden");
    const auto shown = bars->Add("Shown");
    shown->SetVisible(true);
    const auto inHidden = AddTagged(hidden, msoControlButton, "go");
    const auto popup = AddTagged(shown, msoControlPopup, "menu");
    const auto nested = popup.As<CommandBarPopup>()->Controls()->Add(msoControlButton);
    nested->SetTag("go");
    const auto edit = AddTagged(shown, msoControlEdit, "go");

    EXPECT_EQ(bars->FindControl(std::nullopt, std::nullopt, "go").Get(), inHidden.Get());
    EXPECT_EQ(bars->FindControl(std::nullopt, std::nullopt, "go", true).Get(), nested.Get());
    EXPECT_EQ(bars->FindControl(msoControlEdit, std::nullopt, "go").Get(), edit.Get());
    EXPECT_EQ(bars->FindControl(msoControlButton, 1, "go").Get(), inHidden.Get());
    EXPECT_FALSE(bars->FindControl(msoControlButton, 7, "go"));
    EXPECT_FALSE(bars->FindControl(msoControlComboBox, std::nullopt, "go"));
    popup->SetVisible(false);
    EXPECT_FALSE(bars->FindControl(msoControlButton, std::nullopt, "go", true))
        << "a control inside a hidden popup is not visible";
    EXPECT_EQ(nested->Parent().Get(), shown.Get());
}

TEST(CommandBars, ExecuteFiresToEverySinkOfTheTagOnceWithTheClickedControl)
{
    const auto bars = CreateCommandBars();
    const auto bar = bars->Add("Bar");
    const auto first = AddTagged(bar, msoControlButton, "go");
    const auto second = AddTagged(bars->Add("Other"), msoControlButton, "go");
    const auto stranger = AddTagged(bar, msoControlButton, "other");
    const auto sink = MakeCom<RecordingSink>();
    const auto otherSink = MakeCom<RecordingSink>();
    Advise(first, _CommandBarButtonEvents::iid, sink);
    Advise(second, _CommandBarButtonEvents::iid, sink);  // the same sink twice: hears it once
    Advise(second, _CommandBarButtonEvents::iid, otherSink);
    const auto strangerSink = MakeCom<RecordingSink>();
    Advise(stranger, _CommandBarButtonEvents::iid, strangerSink);

    second->Execute();
    EXPECT_EQ(sink->heard, std::vector<std::string>{"1 go args=2"});
    EXPECT_EQ(otherSink->heard, std::vector<std::string>{"1 go args=2"});
    EXPECT_TRUE(strangerSink->heard.empty());

    const auto edit = AddTagged(bar, msoControlEdit, "text");
    const auto editSink = MakeCom<RecordingSink>();
    Advise(edit, _CommandBarComboBoxEvents::iid, editSink);
    edit->Execute();
    EXPECT_EQ(editSink->heard, std::vector<std::string>{"1 text args=1"})
        << "Change carries the control only";
    ComPtr<IConnectionPoint> none;
    EXPECT_EQ(
        edit.As<IConnectionPointContainer>()->FindConnectionPoint(_CommandBarButtonEvents::iid, none.Put()),
        CONNECT_E_NOCONNECTION);
}

TEST(CommandBars, TheListenerHearsEveryChange)
{
    const auto bars = CreateCommandBars();
    int changes = 0;
    bars.As<ICommandBarsHost>()->SetChangeListener([&] { ++changes; });
    const auto bar = bars->Add("Bar");                                    // 1
    bar->SetVisible(true);                                                // 2
    const auto button = bar->Controls()->Add(msoControlButton);           // 3
    button->SetCaption("Go");                                             // 4
    button.As<CommandBarButton>()->SetFace(Picture{1, 1, {0xFF000000}});  // 5
    button->Delete();                                                     // 6
    EXPECT_EQ(changes, 6);
    EXPECT_THROW(bars->Add("Bar2")
                     ->Controls()
                     ->Add(msoControlButton)
                     .As<CommandBarButton>()
                     ->SetFace(Picture{2, 2, {1}}),
                 ComError)
        << "a face whose pixels do not fill it is refused";
}

TEST(CommandBars, ComboBoxesKeepTextAndList)
{
    const auto bars = CreateCommandBars();
    const auto combo = bars->Add("Bar")->Controls()->Add(msoControlComboBox).As<CommandBarComboBox>();
    combo->AddItem("one");
    combo->AddItem("two");
    combo->SetText("two");
    EXPECT_EQ(combo->ListCount(), 2);
    EXPECT_EQ(combo->List(2), "two");
    EXPECT_THROW(combo->List(3), ComError);
    EXPECT_EQ(combo->Text(), "two");
}

TEST(CommandBars, ControlsReadAsDeletedOnceTheirCollectionIsGone)
{
    ComPtr<CommandBarControl> kept;
    {
        const auto bars = CreateCommandBars();
        kept = bars->Add("Bar")->Controls()->Add(msoControlButton);
        EXPECT_NO_THROW(kept->Tag());
    }
    EXPECT_THROW(kept->Tag(), ComError);
    EXPECT_THROW(kept->Execute(), ComError);
}

}  // namespace
