#include "themes/StyledCheckList.h"

#include <QApplication>
#include <QItemDelegate>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyledItemDelegate>

#include <typeinfo>

#include "platform/uxtheme/Gdi.h"
#include "themes/ControlClasses.h"
#include "themes/ControlWindowProc.h"
#include "themes/ThemeSrv.h"

namespace themes {

using namespace uxtheme;

namespace {

QSize CheckGlyphSize()
{
    static const QSize size(QApplication::style()->pixelMetric(QStyle::PM_IndicatorWidth),
                            QApplication::style()->pixelMetric(QStyle::PM_IndicatorHeight));
    return size;
}

/// The list's own item drawing counts as drawn by its owner when it is not one of Qt's plain ones.
bool IsOwnerDrawing(const QAbstractItemDelegate* delegate)
{
    return delegate && typeid(*delegate) != typeid(QStyledItemDelegate) &&
           typeid(*delegate) != typeid(QItemDelegate);
}

RECT CheckCell(const QListWidget* list, const RECT& row)
{
    const int width = GetCheckWidth(list);
    if (UseRightToLeftAlignment(list)) return RECT{row.right, row.top, row.right + width, row.bottom};
    return RECT{row.left - width, row.top, row.left, row.bottom};
}

void DrawStyledCheck(HDC dc, const RECT& cell, Qt::CheckState check, bool enabled)
{
    RECT glyph;
    glyph.left = cell.left + (cell.right - cell.left - CheckGlyphWidth()) / 2;
    glyph.top = cell.top + (cell.bottom - cell.top - CheckGlyphHeight()) / 2;
    glyph.right = glyph.left + CheckGlyphWidth();
    glyph.bottom = glyph.top + CheckGlyphHeight();
    std::uint8_t detail = check == Qt::Checked ? 19 : check == Qt::PartiallyChecked ? 23 : 15;
    if (!enabled) detail += 3;
    GlobalThemeServices().DrawElementBackground(dc, ButtonDetails(detail), glyph, &glyph);
}

Qt::CheckState NextCheckState(const QModelIndex& index)
{
    const auto state = static_cast<Qt::CheckState>(index.data(Qt::CheckStateRole).toInt());
    if (state == Qt::Unchecked) return Qt::Checked;
    if (state == Qt::Checked && (index.flags() & Qt::ItemIsUserTristate)) return Qt::PartiallyChecked;
    return Qt::Unchecked;
}

class CheckListDelegate final : public QStyledItemDelegate {
public:
    CheckListDelegate(QListWidget* list, QAbstractItemDelegate* previous) : list_(list), previous_(previous)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        DeviceContext dc{painter, list_};
        DRAWITEMSTRUCT item;
        item.itemID = index.row();
        item.itemState = ((option.state & QStyle::State_Selected) ? ODS_SELECTED : 0u) |
                         ((option.state & QStyle::State_HasFocus) ? ODS_FOCUS : 0u);
        item.hDC = &dc;
        item.rcItem = ToRECT(option.rect);
        item.ItemOption = &option;
        item.ItemIndex = index;
        item.OwnerDrawing = IsOwnerDrawing(previous_) ? previous_.data() : nullptr;
        TMessage message;
        message.Msg = CN_DRAWITEM;
        message.LParam = reinterpret_cast<LPARAM>(&item);
        painter->save();
        SendControlMessage(list_, message);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return previous_ ? previous_->sizeHint(option, index) : QStyledItemDelegate::sizeHint(option, index);
    }

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override
    {
        if (!StylesEnabled() && previous_) return previous_->editorEvent(event, model, option, index);
        const Qt::ItemFlags flags = index.flags();
        if (!(flags & Qt::ItemIsUserCheckable) || !(flags & Qt::ItemIsEnabled)) return false;
        if (!IsToggle(event, option))
            return event->type() == QEvent::MouseButtonDblClick && InCheckCell(event, option);
        return model->setData(index, NextCheckState(index), Qt::CheckStateRole);
    }

private:
    bool InCheckCell(QEvent* event, const QStyleOptionViewItem& option) const
    {
        RECT row = ToRECT(option.rect);
        const int width = GetCheckWidth(list_);
        if (UseRightToLeftAlignment(list_))
            row.right -= width;
        else
            row.left += width;
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        return ToQRect(CheckCell(list_, row)).contains(at);
    }

    // A click on the check box, or the space bar, toggles a row.
    bool IsToggle(QEvent* event, const QStyleOptionViewItem& option) const
    {
        if (event->type() == QEvent::MouseButtonRelease)
            return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && InCheckCell(event, option);
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            return key == Qt::Key_Space || key == Qt::Key_Select;
        }
        return false;
    }

    QListWidget* list_;
    QPointer<QAbstractItemDelegate> previous_;
};

}  // namespace

int CheckGlyphWidth()
{
    return CheckGlyphSize().width();
}

int CheckGlyphHeight()
{
    return CheckGlyphSize().height();
}

int GetCheckWidth(const QListWidget*)
{
    return CheckGlyphWidth() + 2;
}

std::unique_ptr<QAbstractItemDelegate> MakeCheckListDelegate(QListWidget* list)
{
    return std::make_unique<CheckListDelegate>(list, list->itemDelegate());
}

void DrawCheckListBoxItem(QListWidget* list, const DRAWITEMSTRUCT& item)
{
    if (list->count() == 0 || !item.hDC) return;
    RECT rect = item.rcItem;
    if (UseRightToLeftAlignment(list))
        rect.right -= GetCheckWidth(list);
    else
        rect.left += GetCheckWidth(list);
    QPainter& painter = *item.hDC->Painter;
    painter.save();
    painter.setFont(list->font());
    CheckListCanvas canvas{list->palette().brush(QPalette::Base), list->palette().color(QPalette::Text)};
    if (item.itemID >= 0 && (item.itemState & ODS_SELECTED)) {
        canvas.Brush = list->palette().brush(QPalette::Highlight);
        canvas.FontColor = list->palette().color(QPalette::HighlightedText);
    }
    if (item.itemID >= 0)
        DrawCheckListItem(list, item.itemID, rect, item.itemState, canvas, item);
    else
        FillRect(item.hDC, rect, canvas.Brush);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, rect);
    painter.restore();
}

void DrawCheckListItem(QListWidget* list, int index, RECT rect, unsigned, CheckListCanvas& canvas,
                       const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    if (item.OwnerDrawing && item.ItemOption) {
        QStyleOptionViewItem option(*item.ItemOption);
        option.rect = ToQRect(rect);
        item.OwnerDrawing->paint(dc->Painter, option, item.ItemIndex);
        return;
    }
    const bool present = index < list->count();
    if (present) {
        const auto check = static_cast<Qt::CheckState>(list->item(index)->data(Qt::CheckStateRole).toInt());
        DrawStyledCheck(dc, CheckCell(list, rect), check, list->isEnabled());
        if (!list->isEnabled()) canvas.FontColor = GetSysColor(COLOR_GRAYTEXT);
    }
    FillRect(dc, rect, canvas.Brush);
    if (!present) return;
    const unsigned flags = DrawTextBiDiModeFlags(list, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (UseRightToLeftAlignment(list))
        rect.right -= 2;
    else
        rect.left += 2;
    dc->Painter->setPen(canvas.FontColor);
    DrawText(dc, list->item(index)->text(), rect, flags);
}

}  // namespace themes
