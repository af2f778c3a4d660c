// The theme services: detail mapping, the style state, the handle cache and the watched window.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QPainter>

#include <functional>

#include "platform/uxtheme/Gdi.h"
#include "tests/themes/support/ThemeTestSupport.h"
#include "themes/ThemeSrv.h"

using namespace themes;
using namespace themes_test;

namespace {

struct DetailCase {
    const char* Family;
    ElementDetails (*Map)(std::uint8_t);
    int Detail;
    ElementDetails Expected;
};

void PrintTo(const DetailCase& c, std::ostream* out)
{
    *out << c.Family << " " << c.Detail;
}

class DetailMapping : public ::testing::TestWithParam<DetailCase> {};

TEST_P(DetailMapping, GivesThePartAndStateOfTheSchema)
{
    const DetailCase& c = GetParam();
    EXPECT_EQ(c.Map(static_cast<std::uint8_t>(c.Detail)), c.Expected) << c.Family << " " << c.Detail;
}

constexpr ThemeElement B = ThemeElement::teButton;
constexpr ThemeElement T = ThemeElement::teTab;
constexpr ThemeElement K = ThemeElement::teTrackBar;

INSTANTIATE_TEST_SUITE_P(
    Families, DetailMapping,
    ::testing::Values(
        DetailCase{"button", ButtonDetails, 0, {B, 0, 1}}, DetailCase{"button", ButtonDetails, 1, {B, 0, 2}},
        DetailCase{"button", ButtonDetails, 2, {B, 1, 1}}, DetailCase{"button", ButtonDetails, 6, {B, 1, 5}},
        DetailCase{"button", ButtonDetails, 7, {B, 2, 1}}, DetailCase{"button", ButtonDetails, 14, {B, 2, 8}},
        DetailCase{"button", ButtonDetails, 15, {B, 3, 1}},
        DetailCase{"button", ButtonDetails, 26, {B, 3, 12}},
        DetailCase{"button", ButtonDetails, 27, {B, 4, 1}},
        DetailCase{"button", ButtonDetails, 28, {B, 4, 2}},
        DetailCase{"button", ButtonDetails, 29, {B, 5, 1}},
        DetailCase{"button", ButtonDetails, 30, {B, 0, 31}},
        DetailCase{"edit", EditDetails, 2, {ThemeElement::teEdit, 1, 1}},
        DetailCase{"edit", EditDetails, 9, {ThemeElement::teEdit, 2, 1}},
        DetailCase{"rebar", RebarDetails, 4, {ThemeElement::teRebar, 3, 1}},
        DetailCase{"rebar", RebarDetails, 17, {ThemeElement::teRebar, 5, 4}},
        DetailCase{"status", StatusDetails, 1, {ThemeElement::teStatus, 0, 2}},
        DetailCase{"status", StatusDetails, 4, {ThemeElement::teStatus, 3, 1}},
        DetailCase{"tab", TabDetails, 7, {T, 2, 1}}, DetailCase{"tab", TabDetails, 41, {T, 8, 5}},
        DetailCase{"tab", TabDetails, 42, {T, 9, 1}}, DetailCase{"tab", TabDetails, 43, {T, 10, 1}},
        DetailCase{"toolbar", ToolbarDetails, 5, {ThemeElement::teToolBar, 1, 4}},
        DetailCase{"toolbar", ToolbarDetails, 37, {ThemeElement::teToolBar, 6, 6}},
        DetailCase{"toolbar", ToolbarDetails, 38, {ThemeElement::teToolBar, 0, 39}},
        DetailCase{"trackbar", TrackbarDetails, 3, {K, 2, 1}},
        DetailCase{"trackbar", TrackbarDetails, 33, {K, 8, 5}},
        DetailCase{"trackbar", TrackbarDetails, 34, {K, 9, 1}},
        DetailCase{"trackbar", TrackbarDetails, 35, {K, 10, 1}}),
    [](const ::testing::TestParamInfo<DetailCase>& info) {
        return std::string(info.param.Family) + "_" + std::to_string(info.param.Detail);
    });

/// Services on a window of their own, over the recording library scripted before they start.
class ThemeServicesTest : public ::testing::Test {
protected:
    ThemeServicesTest() : library_(RecordingLibraryPath()), binding_(std::make_unique<ThemeLibraryBinding>())
    {
    }

    std::unique_ptr<TThemeServices> Start(const std::function<void(recording::State&)>& script = {})
    {
        if (script) script(Recording());
        return std::make_unique<TThemeServices>(window_.get());
    }
    void SendThemeChange()
    {
        QEvent changed(uxtheme::ThemeChangedEvent);
        QCoreApplication::sendEvent(window_.get(), &changed);
    }

    ScopedThemeLibrary library_;
    std::unique_ptr<ThemeLibraryBinding> binding_;
    std::unique_ptr<QObject> window_ = std::make_unique<QObject>();
};

TEST_F(ThemeServicesTest, StylesAreEnabledOnlyWhenActiveThemedAndAllowedForControls)
{
    auto services = Start();
    EXPECT_TRUE(services->StylesEnabled());

    Recording().AppProperties = uxtheme::STAP_ALLOW_NONCLIENT;
    SendThemeChange();
    EXPECT_TRUE(services->StylesInUse());
    EXPECT_FALSE(services->ControlsStyled());
    EXPECT_FALSE(services->StylesEnabled());

    Recording().AppProperties = 7;
    Recording().ThemeActive = 0;
    SendThemeChange();
    EXPECT_FALSE(services->StylesInUse());
    EXPECT_FALSE(services->ControlsStyled());
}

TEST_F(ThemeServicesTest, KeepsOneHandlePerElementAndRetriesAFailedOpen)
{
    auto services = Start([](recording::State& state) { state.FailingClasses = {u"status"}; });
    recording::State& state = Recording();
    uxtheme::HTHEME button = services->ThemeHandle(ThemeElement::teButton);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(services->ThemeHandle(ThemeElement::teButton), button);
    EXPECT_NE(services->ThemeHandle(ThemeElement::teTab), button);
    EXPECT_EQ(state.OpenCount, 2);
    EXPECT_EQ(state.CallsOf("OpenThemeData").front().Class, u"button");
    EXPECT_EQ(state.CallsOf("OpenThemeData").front().Window, window_.get());

    EXPECT_EQ(services->ThemeHandle(ThemeElement::teStatus), nullptr);
    EXPECT_EQ(services->ThemeHandle(ThemeElement::teStatus), nullptr);
    EXPECT_EQ(state.OpenCount, 4);
}

TEST_F(ThemeServicesTest, AThemeChangeClosesTheHandlesWhichOpenAgainOnDemand)
{
    auto services = Start();
    services->ThemeHandle(ThemeElement::teButton);
    services->ThemeHandle(ThemeElement::teEdit);
    SendThemeChange();
    EXPECT_EQ(Recording().CloseCount, 2);
    services->ThemeHandle(ThemeElement::teButton);
    EXPECT_EQ(Recording().OpenCount, 3);
    services.reset();
    EXPECT_EQ(Recording().CloseCount, 3);
}

TEST_F(ThemeServicesTest, AWindowDestroyedFirstIsNeitherRestoredNorAskedToCloseHandles)
{
    auto services = Start();
    services->ThemeHandle(ThemeElement::teButton);
    EXPECT_TRUE(services->WatchingWindow());
    window_.reset();
    EXPECT_FALSE(services->WatchingWindow());
    services.reset();
    EXPECT_EQ(Recording().CloseCount, 0);
}

TEST_F(ThemeServicesTest, WithoutAWindowTheHandlesAreStillClosed)
{
    auto services = std::make_unique<TThemeServices>(nullptr);
    services->ThemeHandle(ThemeElement::teButton);
    EXPECT_FALSE(services->WatchingWindow());
    services.reset();
    EXPECT_EQ(Recording().CloseCount, 1);
}

TEST_F(ThemeServicesTest, TheParentBackgroundOfAnOpaquePartIsNotDrawn)
{
    auto services = Start([](recording::State& state) { state.PartiallyTransparent = 0; });
    const ElementDetails box = ButtonDetails(27);
    EXPECT_EQ(services->DrawParentBackground(nullptr, nullptr, &box, true, nullptr), 0);
    EXPECT_TRUE(Recording().CallsOf("DrawThemeParentBackground").empty());
    services->DrawParentBackground(nullptr, nullptr, &box, false, nullptr);
    services->DrawParentBackground(nullptr, nullptr, nullptr, true, nullptr);
    EXPECT_EQ(Recording().CallsOf("DrawThemeParentBackground").size(), 2u);

    Recording().PartiallyTransparent = 1;
    services->DrawParentBackground(nullptr, nullptr, &box, true, nullptr);
    EXPECT_EQ(Recording().CallsOf("DrawThemeParentBackground").size(), 3u);
    const auto asked = Recording().CallsOf("IsThemeBackgroundPartiallyTransparent");
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].Part, 4);
    EXPECT_EQ(asked[0].State, 1);
}

}  // namespace
