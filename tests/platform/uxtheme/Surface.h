#pragma once
// A transparent picture with a device context on it, for drawing tests.

#include <QImage>
#include <QPainter>

#include "platform/uxtheme/Gdi.h"

struct Surface {
    explicit Surface(QSize size = QSize(80, 40)) : Image(size, QImage::Format_ARGB32_Premultiplied)
    {
        Image.fill(Qt::transparent);
        Painter.begin(&Image);
        DC.Painter = &Painter;
    }
    ~Surface()
    {
        if (Painter.isActive()) Painter.end();
    }
    const QImage& Done()
    {
        if (Painter.isActive()) Painter.end();
        return Image;
    }

    QImage Image;
    QPainter Painter;
    uxtheme::DeviceContext DC;
};

/// The pixels that drawing covered (not transparent) inside area.
inline int Covered(const QImage& image, QRect area = QRect())
{
    if (area.isNull()) area = image.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) count += qAlpha(image.pixel(x, y)) != 0;
    }
    return count;
}
