#include "windows/LinkLabel.h"

#include <QMouseEvent>

TLinkLabel::TLinkLabel(const QString& Caption, const QColor& Colour, QWidget* parent)
    : QLabel(Caption, parent)
{
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette colours = palette();
    // A disabled link keeps the style's grey, so that it looks as disabled as it is.
    colours.setColor(QPalette::Active, QPalette::WindowText, Colour);
    colours.setColor(QPalette::Inactive, QPalette::WindowText, Colour);
    setPalette(colours);
    setCursor(Qt::PointingHandCursor);
}

void TLinkLabel::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    // A disabled widget gets no mouse events, so a click here is always an enabled one.
    if (click) Q_EMIT clicked();
}
