#pragma once
// A text that works as a link: underlined, in a colour of its own, with a hand cursor, and a
// click signal. The main window's "Send options", "Info" and "Help" and the about window's
// links are such labels.

#include <QColor>
#include <QLabel>

class TLinkLabel : public QLabel {
    Q_OBJECT

public:
    TLinkLabel(const QString& Caption, const QColor& Colour, QWidget* parent);

Q_SIGNALS:
    /// A left click released over the label while it is enabled.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};
