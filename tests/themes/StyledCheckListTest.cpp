// Check list boxes: rows, their styled checks and a list that draws its own rows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>

#include "platform/uxtheme/Gdi.h"
#include "tests/themes/support/ThemeTestSupport.h"
#include "themes/StyledCheckList.h"
#include "themes/ThemeSrv.h"

using namespace themes;
using namespace themes_test;
using uxtheme::RECT;

namespace {

class StyledCheckListTest : public ::testing::Test {
protected:
    StyledCheckListTest() : library_(RecordingLibraryPath())
    {
        GlobalThemeServices();
        list_.resize(200, 100);
        for (const Qt::CheckState state : {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked}) {
            auto* item = new QListWidgetItem(QStringLiteral("row"), &list_);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(state);
        }
    }

    /// Draws row index (focused or not) on a white picture; the picture is returned.
    QImage DrawRow(int index, unsigned state, QAbstractItemDelegate* ownDrawing = nullptr)
    {
        QImage image(200, 20, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        uxtheme::DeviceContext dc{&painter, &list_};
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 200, 20);
        DRAWITEMSTRUCT item;
        item.itemID = index;
        item.itemState = state;
        item.hDC = &dc;
        item.rcItem = RECT{0, 0, 200, 20};
        item.ItemOption = &option;
        item.ItemIndex = index >= 0 ? list_.model()->index(index, 0) : QModelIndex();
        item.OwnerDrawing = ownDrawing;
        DrawCheckListBoxItem(&list_, item);
        return image;
    }

    ScopedThemeLibrary library_;
    QListWidget list_;
};

TEST_F(StyledCheckListTest, EachCheckStateHasItsStyledCheckBoxCentredInTheStrip)
{
    DrawRow(0, 0);
    DrawRow(1, 0);
    DrawRow(2, 0);
    list_.setEnabled(false);
    DrawRow(0, 0);
    DrawRow(1, 0);
    DrawRow(2, 0);
    const auto checks = Recording().CallsOf("DrawThemeBackground");
    ASSERT_EQ(checks.size(), 6u);
    const int expected[] = {1, 5, 9, 4, 8, 12};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(checks[i].Class, u"button");
        EXPECT_EQ(checks[i].Part, 3);
        EXPECT_EQ(checks[i].State, expected[i]);
    }
    const RECT glyph = checks[0].Rect;
    EXPECT_EQ(glyph.right - glyph.left, CheckGlyphWidth());
    EXPECT_EQ(glyph.left, (GetCheckWidth(&list_) - CheckGlyphWidth()) / 2);
    EXPECT_EQ(glyph.top, (20 - CheckGlyphHeight()) / 2);
    EXPECT_TRUE(checks[0].HasClip);
    EXPECT_EQ(checks[0].Clip, glyph);
}

TEST_F(StyledCheckListTest, RowsOfARightToLeftListHaveTheirCheckOnTheRight)
{
    list_.setLayoutDirection(Qt::RightToLeft);
    DrawRow(0, 0);
    EXPECT_EQ(Recording().CallsOf("DrawThemeBackground").at(0).Rect.right,
              200 - (GetCheckWidth(&list_) - CheckGlyphWidth()) / 2);
}

TEST_F(StyledCheckListTest, AnEmptyListDrawsNothingAndRowMinusOneOnlyFills)
{
    const QImage blankRow = DrawRow(-1, 0);
    EXPECT_TRUE(Recording().Calls.empty());
    EXPECT_EQ(blankRow.pixel(100, 10), list_.palette().color(QPalette::Base).rgba());
    EXPECT_EQ(blankRow.pixel(2, 10), QColor(Qt::white).rgba()) << "the check strip stays as it was";
    EXPECT_NE(DrawRow(-1, ODS_FOCUS), blankRow) << "the focus rectangle is still drawn";

    list_.clear();
    QImage untouched(200, 20, QImage::Format_ARGB32_Premultiplied);
    untouched.fill(Qt::white);
    EXPECT_EQ(DrawRow(0, ODS_FOCUS | ODS_SELECTED), untouched);
}

TEST_F(StyledCheckListTest, AListThatDrawsItsOwnRowsGetsTheRectangleBesideTheCheckStrip)
{
    struct OwnDrawing final : QStyledItemDelegate {
        mutable QRect Asked;
        void paint(QPainter*, const QStyleOptionViewItem& option, const QModelIndex&) const override
        {
            Asked = option.rect;
        }
    } own;
    const QImage unfocused = DrawRow(1, 0, &own);
    EXPECT_EQ(own.Asked, QRect(GetCheckWidth(&list_), 0, 200 - GetCheckWidth(&list_), 20));
    EXPECT_TRUE(Recording().Calls.empty()) << "no check drawn by the system";
    EXPECT_NE(DrawRow(1, ODS_FOCUS, &own), unfocused) << "the focus rectangle is drawn all the same";
}

TEST_F(StyledCheckListTest, ASelectedRowIsFilledWithTheSelection)
{
    const QImage selected = DrawRow(0, ODS_SELECTED);
    EXPECT_EQ(selected.pixel(190, 2), list_.palette().color(QPalette::Highlight).rgba());
}

}  // namespace
