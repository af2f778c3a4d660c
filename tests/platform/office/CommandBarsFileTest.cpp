#include <gtest/gtest.h>

#include "platform/office/CommandBarsImpl.h"
#include "platform/runtime/Exception.h"
#include "tests/support/TempDir.h"

namespace {

using namespace office;

TEST(CommandBarsFile, WhatIsNotTemporarySurvivesARoundTrip)
{
    test::TempDir dir;
    const auto file = dir / "bars.ini";
    {
        const auto bars = CreateCommandBars();
        const auto bar = bars->Add("Trovanta", msoBarTop);
        bar->SetNameLocal(" Trovanta local ");
        bar->SetVisible(true);
        const auto button = bar->Controls()->Add(msoControlButton).As<CommandBarButton>();
        button->SetTag("QEL-Button");
        button->SetCaption("  spaced caption");
        button->SetTooltipText("Save e-mails and extract attachments");
        button->SetParameter("UserClose");
        button->SetVisible(false);
        button->SetStyle(msoButtonIconAndCaption);
        button->SetFace(Picture{2, 1, {0xFF102030, 0x00F0F0F0}});
        const auto popup = bar->Controls()->Add(msoControlPopup).As<CommandBarPopup>();
        popup->SetTag("menu");
        const auto combo = popup->Controls()->Add(msoControlDropdown).As<CommandBarComboBox>();
        combo->SetTag("choice");
        combo->AddItem("one");
        combo->AddItem("\"quoted\"");
        combo->SetText("one");
        bar->Controls()
            ->Add(msoControlButton, std::nullopt, std::nullopt, std::nullopt, true)
            ->SetTag("temp");
        bars->Add("Scratch", msoBarFloating, std::nullopt, true);
        bars.As<ICommandBarsHost>()->Save(file);
    }
    const auto bars = LoadCommandBars(file);
    ASSERT_EQ(bars->Count(), 1) << "the temporary bar is not kept";
    const auto bar = bars->Item(1);
    EXPECT_EQ(bar->Name(), "Trovanta");
    EXPECT_EQ(bar->NameLocal(), " Trovanta local ");
    EXPECT_TRUE(bar->Visible());
    EXPECT_EQ(bar->Position(), msoBarTop);
    ASSERT_EQ(bar->Controls()->Count(), 2) << "the temporary control is not kept";
    const auto button = bar->Controls()->Item(1).As<CommandBarButton>();
    ASSERT_TRUE(button);
    EXPECT_EQ(button->Tag(), "QEL-Button");
    EXPECT_EQ(button->Caption(), "  spaced caption");
    EXPECT_EQ(button->TooltipText(), "Save e-mails and extract attachments");
    EXPECT_EQ(button->Parameter(), "UserClose");
    EXPECT_FALSE(button->Visible());
    EXPECT_EQ(button->Style(), msoButtonIconAndCaption);
    EXPECT_EQ(button->Face(), (Picture{2, 1, {0xFF102030, 0x00F0F0F0}}));
    const auto popup = bar->Controls()->Item(2).As<CommandBarPopup>();
    ASSERT_TRUE(popup);
    const auto combo = popup->Controls()->Item(1).As<CommandBarComboBox>();
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->Type(), msoControlDropdown);
    EXPECT_EQ(combo->List(2), "\"quoted\"");
    EXPECT_EQ(combo->Text(), "one");
    EXPECT_EQ(bars->FindControl(std::nullopt, std::nullopt, "choice").As<IUnknown>().Get(),
              combo.As<IUnknown>().Get());
}

TEST(CommandBarsFile, AMissingFileGivesNoBarsAndABrokenOneIsNamed)
{
    test::TempDir dir;
    EXPECT_EQ(LoadCommandBars(dir / "none.ini")->Count(), 0);
    test::WriteFile(dir / "broken.ini", "[Bar1]\r\nName=A\r\n[Bar1.Control1]\r\nType=1\r\nFace=2x2:00\r\n");
    try {
        LoadCommandBars(dir / "broken.ini");
        FAIL() << "a malformed face must not load";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find("broken.ini"), std::string::npos) << e.Message();
    }
    test::WriteFile(dir / "type.ini", "[Bar1]\r\nName=A\r\n[Bar1.Control1]\r\nType=42\r\n");
    EXPECT_THROW(LoadCommandBars(dir / "type.ini"), Exception);
}

TEST(CommandBarsFile, SavingReplacesTheWholeFile)
{
    test::TempDir dir;
    const auto file = dir / "bars.ini";
    const auto bars = CreateCommandBars();
    bars->Add("One");
    bars->Add("Two");
    bars.As<ICommandBarsHost>()->Save(file);
    bars->Item(1)->Delete();
    bars.As<ICommandBarsHost>()->Save(file);
    const auto loaded = LoadCommandBars(file);
    ASSERT_EQ(loaded->Count(), 1);
    EXPECT_EQ(loaded->Item(1)->Name(), "Two");
    EXPECT_FALSE(std::filesystem::exists(dir / "bars.ini.new"));
}

}  // namespace
