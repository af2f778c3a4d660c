#pragma once
// Bit buttons and speed buttons drawn completely with the visual styles: the push-button (or, for
// a flat speed button, the tool-bar-button) part, then the glyph and caption laid out as the
// button's Layout, Margin and Spacing ask.

#include <QPoint>
#include <QSize>

#include "platform/uxtheme/UxThemeApi.h"
#include "themes/ThemeMessages.h"

class QWidget;

namespace themes {

/// Where glyph and caption go inside a client area of the given size (offsets from its corner).
struct GlyphLayoutInput {
    int Layout = 0;  // 0 glyph left, 1 right, 2 top, 3 bottom
    int Margin = -1;
    int Spacing = 4;
    QSize Client{0, 0};
    QSize Glyph{0, 0};
    QSize Text{0, 0};
    unsigned BiDiFlags = 0;  // DT_RIGHT swaps left and right layouts
};
struct GlyphLayout {
    QPoint GlyphPos;
    QPoint TextPos;
};
GlyphLayout ComputeGlyphLayout(const GlyphLayoutInput& input);

/// Lays glyph and caption of a button out in client: the glyph's top-left corner and the rectangle
/// of the caption, measured with the font selected into dc.
void LayoutGlyphAndCaption(QWidget* control, uxtheme::HDC dc, const uxtheme::RECT& client, QPoint& glyphPos,
                           uxtheme::RECT& textBounds, unsigned biDiFlags);

/// Draws a bit button or speed button in state (2 normal, 3 hot, 4 pressed, 5 disabled, 6 default).
void DrawThemedButton(QWidget* control, int state, bool focused, const uxtheme::RECT& rect, uxtheme::HDC dc);
/// Draws an owner-drawn bit button for its draw-item record.
void DrawThemedBitBtn(QWidget* button, DRAWITEMSTRUCT item);

/// The state a speed button is drawn in now.
int SpeedButtonState(QWidget* button);

}  // namespace themes
