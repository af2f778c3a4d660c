// Part geometry and colours: content rectangles, transparency, text colours and 3-D edges.

#include <QApplication>
#include <QImage>
#include <QMutex>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <map>
#include <tuple>

#include "platform/uxtheme/PartPainter.h"

namespace uxtheme::lib {

namespace {

bool IsDisabledState(const PartId& id)
{
    switch (id.Class) {
        case ThemeClass::Button:
            if (id.Part == 1) return id.State == 4;
            if (id.Part == 2 || id.Part == 3) return id.State % 4 == 0;
            return id.Part == 4 && id.State == 2;
        case ThemeClass::Edit:
            return id.Part == 1 && id.State == 4;
        case ThemeClass::Tab:
            return id.Part >= 1 && id.Part <= 8 && id.State == 4;
        case ThemeClass::Toolbar:
            return id.State == 4;
        case ThemeClass::Trackbar:
            return id.Part >= 3 && id.Part <= 8 && id.State == 5;
        default:
            return false;
    }
}

QPalette::ColorRole TextRole(const PartId& id)
{
    switch (id.Class) {
        case ThemeClass::Button:
            return (id.Part == 1 || id.Part == 5) ? QPalette::ButtonText : QPalette::WindowText;
        case ThemeClass::Edit:
            return QPalette::Text;
        case ThemeClass::Toolbar:
        case ThemeClass::Rebar:
            return QPalette::ButtonText;
        case ThemeClass::Tab:
            return id.Part <= 8 ? QPalette::ButtonText : QPalette::WindowText;
        default:
            return QPalette::WindowText;
    }
}

QRect Shrunk(const QRect& rect, int by)
{
    return rect.adjusted(by, by, -by, -by);
}

// One layer of an edge: the top and left sides in one colour, the bottom and right in another.
void DrawEdgeLayer(QPainter& painter, const QRect& r, unsigned flags, const QColor& topLeft,
                   const QColor& bottomRight)
{
    if (flags & BF_LEFT) painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    if (flags & BF_TOP) painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    if (flags & BF_RIGHT) painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    if (flags & BF_BOTTOM) painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
}

QRect ShrunkOnSides(const QRect& rect, unsigned flags, int by)
{
    return rect.adjusted((flags & BF_LEFT) ? by : 0, (flags & BF_TOP) ? by : 0, (flags & BF_RIGHT) ? -by : 0,
                         (flags & BF_BOTTOM) ? -by : 0);
}

}  // namespace

QRect PartContentRect(const PartContext& context, const PartId& id, const QRect& bounds)
{
    QStyleOption probe;
    probe.rect = bounds;
    probe.palette = context.Palette;
    const int frame = context.Style->pixelMetric(QStyle::PM_DefaultFrameWidth, &probe, nullptr);
    if (id.Class == ThemeClass::Button && (id.Part == 1 || id.Part == 5)) {
        QStyleOptionButton option;
        option.rect = bounds;
        option.palette = context.Palette;
        option.state = QStyle::State_Enabled;
        if (id.Part == 1 && id.State == 5) option.features |= QStyleOptionButton::DefaultButton;
        return context.Style->subElementRect(QStyle::SE_PushButtonContents, &option, nullptr);
    }
    if (id.Class == ThemeClass::Button && (id.Part == 2 || id.Part == 3)) return bounds;
    if (id.Class == ThemeClass::Button && id.Part == 4) return Shrunk(bounds, 1);
    return Shrunk(bounds, qMax(frame, 1));
}

bool IsPartPartiallyTransparent(const PartId& id)
{
    static QMutex mutex;
    static std::map<std::tuple<QString, int, int, int>, bool> known;
    const PartContext context = ContextFor(nullptr);
    const auto key = std::make_tuple(context.Style->name(), static_cast<int>(id.Class), id.Part, id.State);
    const QMutexLocker lock(&mutex);
    if (const auto it = known.find(key); it != known.end()) return it->second;
    // Draw the part on a transparent surface and look for a pixel it left uncovered.
    QImage probe(48, 32, QImage::Format_ARGB32_Premultiplied);
    probe.fill(Qt::transparent);
    {
        QPainter painter(&probe);
        DrawPart(painter, context, id, probe.rect());
    }
    bool transparent = false;
    for (int y = 0; y < probe.height() && !transparent; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(probe.constScanLine(y));
        for (int x = 0; x < probe.width() && !transparent; ++x) transparent = qAlpha(line[x]) < 255;
    }
    known.emplace(key, transparent);
    return transparent;
}

QColor PartTextColor(const PartContext& context, const PartId& id)
{
    const QPalette::ColorGroup group = IsDisabledState(id) ? QPalette::Disabled : QPalette::Active;
    return context.Palette.color(group, TextRole(id));
}

void DrawEdge(QPainter& painter, const QPalette& palette, const QRect& rect, unsigned edge, unsigned flags,
              QRect* content)
{
    const QColor light = palette.color(QPalette::Light);
    const QColor midlight = palette.color(QPalette::Midlight);
    const QColor dark = palette.color(QPalette::Dark);
    const QColor shadow = palette.color(QPalette::Shadow);
    QRect inner = rect;
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
        if (edge & BDR_RAISEDOUTER)
            DrawEdgeLayer(painter, inner, flags, midlight, shadow);
        else
            DrawEdgeLayer(painter, inner, flags, dark, light);
        inner = ShrunkOnSides(inner, flags, 1);
    }
    if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
        if (edge & BDR_RAISEDINNER)
            DrawEdgeLayer(painter, inner, flags, light, dark);
        else
            DrawEdgeLayer(painter, inner, flags, shadow, midlight);
        inner = ShrunkOnSides(inner, flags, 1);
    }
    if (content && (flags & BF_ADJUST)) *content = inner;
}

}  // namespace uxtheme::lib
