#include "themes/StyledButtons.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QPainter>
#include <QWidget>

#include <utility>

#include "platform/uxtheme/Gdi.h"
#include "themes/ControlClasses.h"
#include "themes/ThemeSrv.h"

namespace themes {

using namespace uxtheme;

namespace {

bool IsUnderCursor(const QWidget* control)
{
    return QApplication::widgetAt(QCursor::pos()) == control;
}

/// Which of the glyph's images a button shows: disabled, pressed (down) and latched (exclusive).
int GlyphOffsetOf(const QWidget* control, int state, int glyphWidth, int numGlyphs)
{
    if (!control->isEnabled() && numGlyphs > 1) return glyphWidth;
    if (IsSpeedButton(control)) {
        int offset = 0;
        if (IsDown(control) && numGlyphs > 2) offset = 2 * glyphWidth;
        if (IsExclusive(control) && numGlyphs > 3) offset = 3 * glyphWidth;
        return offset;
    }
    return (state == 4 && numGlyphs > 2) ? 2 * glyphWidth : 0;
}

/// One image of the glyph; a glyph without transparency is masked by the colour of its
/// bottom-left pixel, the way the framework's bitmaps are.
QPixmap GlyphCell(const QPixmap& glyph, int offset, int width)
{
    QPixmap cell = glyph.copy(offset, 0, width, glyph.height());
    if (!cell.hasAlphaChannel() && !glyph.isNull()) {
        const QColor transparent = glyph.toImage().pixelColor(0, glyph.height() - 1);
        cell.setMask(cell.createMaskFromColor(transparent, Qt::MaskInColor));
    }
    return cell;
}

/// Margin and spacing along the layout's axis, the automatic ones (-1) worked out: without a
/// caption or a glyph there is no spacing; with both automatic, the free space is cut in three.
std::pair<int, int> MarginAndSpacing(const GlyphLayoutInput& input, bool horizontal)
{
    const auto along = [horizontal](const QSize& size) { return horizontal ? size.width() : size.height(); };
    const int client = along(input.Client);
    const int glyph = along(input.Glyph);
    const int text = along(input.Text);
    int spacing = (input.Text.width() == 0 || input.Glyph.width() == 0) ? 0 : input.Spacing;
    int margin = input.Margin;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (client - (glyph + text)) / 3;
            spacing = margin;
        } else {
            margin = (client - (glyph + spacing + text) + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (client - (margin + glyph) - text) / 2;
    }
    return {margin, spacing};
}

}  // namespace

GlyphLayout ComputeGlyphLayout(const GlyphLayoutInput& input)
{
    int layout = input.Layout;
    if (input.BiDiFlags & DT_RIGHT) layout = layout == 0 ? 1 : layout == 1 ? 0 : layout;
    const QSize client = input.Client;
    const QSize glyph = input.Glyph;
    const QSize text = input.Text;
    GlyphLayout result;
    const bool horizontal = layout <= 1;
    // Across the axis both are centred.
    if (horizontal) {
        result.GlyphPos.setY((client.height() - glyph.height() + 1) / 2);
        result.TextPos.setY((client.height() - text.height() + 1) / 2);
    } else {
        result.GlyphPos.setX((client.width() - glyph.width() + 1) / 2);
        result.TextPos.setX((client.width() - text.width() + 1) / 2);
    }
    const auto [margin, spacing] = MarginAndSpacing(input, horizontal);
    switch (layout) {
        case 0:
            result.GlyphPos.setX(margin);
            result.TextPos.setX(margin + glyph.width() + spacing);
            break;
        case 1:
            result.GlyphPos.setX(client.width() - margin - glyph.width());
            result.TextPos.setX(result.GlyphPos.x() - spacing - text.width());
            break;
        case 2:
            result.GlyphPos.setY(margin);
            result.TextPos.setY(margin + glyph.height() + spacing);
            break;
        default:
            result.GlyphPos.setY(client.height() - margin - glyph.height());
            result.TextPos.setY(result.GlyphPos.y() - spacing - text.height());
            break;
    }
    return result;
}

void LayoutGlyphAndCaption(QWidget* control, HDC dc, const RECT& client, QPoint& glyphPos, RECT& textBounds,
                           unsigned biDiFlags)
{
    const GlyphProperties properties = ReadGlyph(control);
    GlyphLayoutInput input;
    input.Layout = properties.Layout;
    input.Margin = properties.Margin;
    input.Spacing = properties.Spacing;
    input.Client = QSize(client.right - client.left, client.bottom - client.top);
    if (!properties.Glyph.isNull())
        input.Glyph = QSize(properties.Glyph.width() / properties.NumGlyphs, properties.Glyph.height());
    textBounds = RECT{};
    if (!properties.Caption.isEmpty()) {
        textBounds = RECT{0, 0, input.Client.width(), 0};
        DrawText(dc, properties.Caption, textBounds, DT_CALCRECT | biDiFlags);
        input.Text = QSize(textBounds.right - textBounds.left, textBounds.bottom - textBounds.top);
    }
    input.BiDiFlags = biDiFlags;
    const GlyphLayout layout = ComputeGlyphLayout(input);
    glyphPos = layout.GlyphPos + QPoint(client.left, client.top);
    const QPoint textOffset = layout.TextPos + QPoint(client.left, client.top);
    textBounds = RECT{textBounds.left + textOffset.x(), textBounds.top + textOffset.y(),
                      textBounds.right + textOffset.x(), textBounds.bottom + textOffset.y()};
}

void DrawThemedButton(QWidget* control, int state, bool focused, const RECT& rect, HDC dc)
{
    TThemeServices& services = GlobalThemeServices();
    const GlyphProperties properties = ReadGlyph(control);
    int glyphWidth = 0;
    int glyphOffset = 0;
    if (!properties.Glyph.isNull()) {
        glyphWidth = properties.Glyph.width() / properties.NumGlyphs;
        glyphOffset = GlyphOffsetOf(control, state, glyphWidth, properties.NumGlyphs);
    }
    const int toolbarState =
        (IsSpeedButton(control) && IsFlat(control) && state >= 2 && state <= 5) ? state : 0;
    const ElementDetails details = toolbarState ? ToolbarDetails(static_cast<std::uint8_t>(toolbarState))
                                                : ButtonDetails(static_cast<std::uint8_t>(state));
    services.DrawElementBackground(dc, details, rect, nullptr);
    const RECT content = services.ElementContentRect(dc, details, rect);

    QPainter& painter = *dc->Painter;
    const QFont oldFont = painter.font();
    painter.setFont(control->font());
    QPoint glyphPos;
    RECT textBounds;
    LayoutGlyphAndCaption(control, dc, content, glyphPos, textBounds, DrawTextBiDiModeFlags(control, 0));
    // The font colour even when disabled: only a flat speed button greys its caption.
    painter.setPen(toolbarState == 5 ? GetSysColor(COLOR_GRAYTEXT)
                                     : control->palette().color(QPalette::Active, control->foregroundRole()));
    painter.setBackgroundMode(Qt::TransparentMode);
    DrawText(dc, properties.Caption, textBounds, DT_CENTER | DT_VCENTER);
    if (!properties.Glyph.isNull())
        painter.drawPixmap(glyphPos, GlyphCell(properties.Glyph, glyphOffset, glyphWidth));
    painter.setFont(oldFont);
    if (focused) {
        painter.setPen(QColor(Qt::black));
        DrawFocusRect(dc, content);
    }
}

void DrawThemedBitBtn(QWidget* button, DRAWITEMSTRUCT item)
{
    if (IsUnderCursor(button)) item.itemState |= ODS_HOTLIGHT;
    int state = 2;
    if (!button->isEnabled())
        state = 5;
    else if (item.itemState & ODS_SELECTED)
        state = 4;
    else if (item.itemState & ODS_HOTLIGHT)
        state = 3;
    else if (IsDefaultButton(button) || (item.itemState & ODS_FOCUS))
        state = 6;
    DrawThemedButton(button, state, (item.itemState & ODS_FOCUS) != 0, item.rcItem, item.hDC);
}

int SpeedButtonState(QWidget* button)
{
    if (!button->isEnabled()) return 5;
    if (IsDown(button) || IsExclusive(button)) return 4;
    const bool hot = IsFlat(button) ? button->underMouse() : IsUnderCursor(button);
    return hot ? 3 : 2;
}

}  // namespace themes
