#include "windows/MaskButtons.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kButtonsPerRow = 15;

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// A name a test or a style sheet can find the button by: "ButtonMask" + the caption, the two
/// separators by what they are.
QString ButtonName(const TMaskButtonInfo& info)
{
    if (info.Caption == "\\") return QStringLiteral("ButtonMaskBackslash");
    if (info.Caption == " - ") return QStringLiteral("ButtonMaskSpaceMinusSpace");
    return QStringLiteral("ButtonMask") + ToQString(info.Caption);
}

QToolButton* NewFlatButton(QWidget* parent, const TMaskButtonInfo& info)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(ButtonName(info));
    // "&" would make the next letter a shortcut; none of the captions holds one.
    button->setText(ToQString(info.Caption));
    button->setToolTip(ToQString(info.Hint));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, QColor(0, 0, 128));
    button->setPalette(palette);
    return button;
}

}  // namespace

TMaskButtons::TMaskButtons(QWidget* parent, QLineEdit* editMask, bool withAttachmentButtons)
    : QWidget(parent), editMask_(editMask)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(1);
    for (const TMaskButtonInfo& info : MaskButtonInfos) {
        if (info.ForAttachments && !withAttachmentButtons) continue;
        QToolButton* button = NewFlatButton(this, info);
        const int index = static_cast<int>(buttons_.size());
        grid->addWidget(button, index / kButtonsPerRow, index % kButtonsPerRow);
        buttons_.push_back(button);
        if (info.Separator) {
            connect(button, &QToolButton::clicked, this, [this, button] { ButtonMask2Click(button); });
        } else {
            connect(button, &QToolButton::clicked, this, [this, button] { ButtonMask1Click(button); });
        }
    }
    grid->setColumnStretch(kButtonsPerRow, 1);
}

void TMaskButtons::InsertIntoMask(QLineEdit& edit, const QString& text)
{
    // The window's focus widget rather than the application's: the same while the window is
    // active, and still right while another program has the keyboard.
    if (edit.window()->focusWidget() != &edit) {
        edit.setFocus(Qt::OtherFocusReason);
        edit.deselect();
        edit.setCursorPosition(static_cast<int>(edit.text().size()));
    }
    edit.insert(text);
}

void TMaskButtons::ButtonMask1Click(QAbstractButton* sender)
{
    if (!IsOwnButton(sender)) return;
    InsertIntoMask(*editMask_, QLatin1Char('[') + sender->text() + QLatin1Char(']'));
}

void TMaskButtons::ButtonMask2Click(QAbstractButton* sender)
{
    if (!IsOwnButton(sender)) return;
    InsertIntoMask(*editMask_, sender->text());
}

bool TMaskButtons::IsOwnButton(QAbstractButton* sender) const
{
    return std::find(buttons_.begin(), buttons_.end(), sender) != buttons_.end();
}
