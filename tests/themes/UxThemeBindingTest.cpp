// Binding the visual-styles library by name: missing, incomplete, counted binds, unloading.

#include <gtest/gtest.h>

#include <QApplication>

#include "tests/themes/support/ThemeTestSupport.h"
#include "themes/ThemeSrv.h"
#include "themes/UxTheme.h"

using namespace themes;
using namespace themes_test;

namespace {

TEST(ThemeLibraryBinding, AMissingLibraryLeavesTheStylesOffWithoutFailing)
{
    ScopedThemeLibrary library(MissingLibraryPath());
    EXPECT_FALSE(BindThemeLibrary());
    EXPECT_EQ(ThemeLibraryBindCount(), 1);
    EXPECT_EQ(ThemeEntries().OpenThemeData, nullptr);
    EXPECT_FALSE(VisualStylesActive());
    UnbindThemeLibrary();
    EXPECT_EQ(ThemeLibraryBindCount(), 0);

    TThemeServices services(qApp);
    EXPECT_FALSE(services.LibraryAvailable());
    EXPECT_FALSE(services.StylesInUse());
    EXPECT_FALSE(services.ControlsStyled());
    EXPECT_FALSE(services.StylesEnabled());
    EXPECT_EQ(services.ThemeHandle(ThemeElement::teButton), nullptr);
    // Drawing asked for by mistake fails quietly instead of calling through empty entry points.
    EXPECT_EQ(services.DrawElementBackground(nullptr, ButtonDetails(2), uxtheme::RECT{}, nullptr),
              uxtheme::E_FAIL);
    EXPECT_EQ(services.DrawParentBackground(nullptr, nullptr, nullptr, false, nullptr), uxtheme::E_FAIL);
}

TEST(ThemeLibraryBinding, BindsAreCountedAndTheLastUnbindUnloads)
{
    ScopedThemeLibrary library(RecordingLibraryPath());
    ASSERT_TRUE(BindThemeLibrary());
    ASSERT_TRUE(BindThemeLibrary());
    UnbindThemeLibrary();
    EXPECT_TRUE(IsLoaded(RecordingLibraryPath()));
    EXPECT_NE(ThemeEntries().DrawThemeParentBackground, nullptr);
    UnbindThemeLibrary();
    EXPECT_FALSE(IsLoaded(RecordingLibraryPath()));
    EXPECT_EQ(ThemeEntries().OpenThemeData, nullptr);
    EXPECT_EQ(ThemeEntries().DrawThemeParentBackground, nullptr);
    UnbindThemeLibrary();
    EXPECT_EQ(ThemeLibraryBindCount(), 0);
}

TEST(ThemeLibraryBinding, ALibraryLackingAnEntryPointCountsAsMissing)
{
    ScopedThemeLibrary library(PartialLibraryPath());
    EXPECT_FALSE(BindThemeLibrary());
    EXPECT_FALSE(IsLoaded(PartialLibraryPath()));
    EXPECT_EQ(ThemeEntries().OpenThemeData, nullptr);
    EXPECT_FALSE(GlobalThemeServices().StylesEnabled());
    UnbindThemeLibrary();
}

TEST(ThemeLibraryBinding, TheSystemsLibraryIsFoundByItsName)
{
    ScopedThemeLibrary library(uxtheme::LibraryFileName);
    ASSERT_TRUE(BindThemeLibrary());
    EXPECT_TRUE(VisualStylesActive());
    {
        const ThemeLibraryBinding second;
        EXPECT_TRUE(second.Available());
        EXPECT_EQ(ThemeLibraryBindCount(), 2);
    }
    EXPECT_EQ(ThemeLibraryBindCount(), 1);
    UnbindThemeLibrary();
    EXPECT_FALSE(ThemeLibraryLoaded());
}

}  // namespace
