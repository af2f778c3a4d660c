#pragma once
// Check list boxes drawn with the visual styles: each row gets the styled check box in a strip on
// its check side and its text beside it. The rows reach the check-list-box handler as CN_DRAWITEM,
// sent by the item delegate the theme manager gives a check list box it takes over.

#include <QAbstractItemDelegate>
#include <QBrush>
#include <QColor>

#include <memory>

#include "platform/uxtheme/UxThemeApi.h"
#include "themes/ThemeMessages.h"

class QListWidget;

namespace themes {

/// The size of one check-box image, read once per process from the widget style.
int CheckGlyphWidth();
int CheckGlyphHeight();
/// The width of a check list box's check strip.
int GetCheckWidth(const QListWidget* list);

/// The delegate that sends a check list box's rows through its window method. previous is the
/// list's own drawing, used when the row is passed on or when it is drawn by its owner.
std::unique_ptr<QAbstractItemDelegate> MakeCheckListDelegate(QListWidget* list);

/// CN_DRAWITEM of a check list box.
void DrawCheckListBoxItem(QListWidget* list, const DRAWITEMSTRUCT& item);

/// The canvas a row is drawn with: the list's brush and font colour, or the selection's.
struct CheckListCanvas {
    QBrush Brush;
    QColor FontColor;
};
/// One row in rect (already narrowed by the check strip).
void DrawCheckListItem(QListWidget* list, int index, uxtheme::RECT rect, unsigned state,
                       CheckListCanvas& canvas, const DRAWITEMSTRUCT& item);

}  // namespace themes
