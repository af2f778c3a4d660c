// A whole form painted with the visual styles, against the same form painted by Qt alone.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>

#include "tests/themes/support/SampleForm.h"
#include "tests/themes/support/ThemeTestSupport.h"
#include "themes/ThemeMgr.h"

using namespace themes;
using namespace themes_test;

namespace {

class ThemedFormTest : public ::testing::Test {
protected:
    ThemedFormTest() : library_(RealLibraryPath()) { PaintOnceBeforeComparing(); }
    static QImage PartOf(const QImage& picture, const QWidget* control)
    {
        return picture.copy(QRect(control->mapTo(control->window(), QPoint()), control->size()));
    }

    ScopedThemeLibrary library_;
};

TEST_F(ThemedFormTest, TheStylesChangeHowTheControlsLookAndGivingThemBackUndoesIt)
{
    SampleForm plain;
    SampleForm themed;
    auto* manager = new TThemeManager(themed.Form.get());
    manager->setObjectName(QStringLiteral("ThemeManager"));
    manager->Loaded();
    const QImage before = Picture(plain.Form.get());
    const QImage styled = Picture(themed.Form.get());
    // For a person to look at: the sample form with and without the visual styles.
    styled.save(QStringLiteral(TROVANTA_BUILD_DIR "/tests/themed-form.png"));
    before.save(QStringLiteral(TROVANTA_BUILD_DIR "/tests/plain-form.png"));

    // Painted by the theme services: the group box, the bit button, the panel, the check list.
    for (const auto& [plainControl, themedControl] : {std::pair<QWidget*, QWidget*>{plain.Box, themed.Box},
                                                      {plain.BitButton, themed.BitButton},
                                                      {plain.Panel, themed.Panel},
                                                      {plain.CheckList, themed.CheckList}}) {
        EXPECT_GT(DifferingPixels(PartOf(before, plainControl), PartOf(styled, themedControl)), 0)
            << themedControl->metaObject()->className();
    }

    delete manager;
    EXPECT_EQ(DifferingPixels(Picture(themed.Form.get()), before), 0);
}

}  // namespace
