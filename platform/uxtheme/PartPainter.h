#pragma once
// How the library draws the parts of its classes: each (class, part, state) becomes the matching
// primitive, control or complex control of the Qt widget style in use, so that a part looks as the
// desktop's controls look.

#include <QColor>
#include <QPalette>
#include <QRect>

#include "platform/uxtheme/ThemeClasses.h"

class QPainter;
class QStyle;
class QWidget;

namespace uxtheme::lib {

/// What a part is drawn with: the style, the widget that lends palette and direction, if any.
struct PartContext {
    QStyle* Style = nullptr;
    const QWidget* Widget = nullptr;
    QPalette Palette;
    Qt::LayoutDirection Direction = Qt::LeftToRight;
};

/// The context of a device context's window (or of the application when it has none).
PartContext ContextFor(const QWidget* window);

struct PartId {
    ThemeClass Class;
    int Part;
    int State;  // already normalised
};

/// Draws a part into rect; false when the class has no such part.
bool DrawPart(QPainter& painter, const PartContext& context, const PartId& id, const QRect& rect);

/// The area inside a part's borders where content goes.
QRect PartContentRect(const PartContext& context, const PartId& id, const QRect& bounds);

/// True when drawing the part leaves some pixels of its rectangle uncovered.
bool IsPartPartiallyTransparent(const PartId& id);

/// The colour the library writes a part's text in.
QColor PartTextColor(const PartContext& context, const PartId& id);

/// A 3-D edge of the given kind on the given sides; with BF_ADJUST, content receives the inside.
void DrawEdge(QPainter& painter, const QPalette& palette, const QRect& rect, unsigned edge, unsigned flags,
              QRect* content);

}  // namespace uxtheme::lib
