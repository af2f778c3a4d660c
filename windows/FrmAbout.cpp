#include "windows/FrmAbout.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QRadialGradient>

#include <algorithm>

#include "platform/runtime/Exception.h"
#include "platform/ui/UserInterface.h"
#include "windows/LinkLabel.h"
#include "windows/SlotGuard.h"

namespace {

constexpr int kWidth = 450;
constexpr int kHeight = 340;
constexpr const char* kProductName = "Trovanta";
constexpr const char* kVersionText = "Version 4.1.0.1";
constexpr const char* kWebAddress = "https://trovanta.example.org";
// The rights holder's notice in three pieces: the sign, the holder, the place.
constexpr const char* kNoticeSign = "\u00A9";
constexpr const char* kNoticeHolder = "VONT-Software";
constexpr const char* kNoticePlace = "Trovanta for Linux";
const QColor kLinkColour(0x00, 0x00, 0x80);

/// The window's picture: a calm light gradient with a soft glow at the lower right.
QPixmap AboutPicture()
{
    QPixmap picture(kWidth, kHeight);
    QPainter painter(&picture);
    QLinearGradient background(0, 0, 0, kHeight);
    background.setColorAt(0.0, QColor(0xE8, 0xEE, 0xF6));
    background.setColorAt(1.0, QColor(0xB8, 0xC8, 0xDE));
    painter.fillRect(picture.rect(), background);
    QRadialGradient glow(QPointF(kWidth * 0.8, kHeight * 0.7), kHeight * 0.6);
    glow.setColorAt(0.0, QColor(255, 255, 255, 170));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillRect(picture.rect(), glow);
    return picture;
}

}  // namespace

TFormAbout::TFormAbout(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("FormAbout"));
    // No caption bar and no system menu: the window closes only by its own link or Escape.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(kWidth, kHeight);
    CreateControls();

    setWindowTitle(QString::fromUtf8(kProductName));
    LabelInfo->setText(QString::fromUtf8(kProductName));
    LabelVersion->setText(QString::fromUtf8(kVersionText));
    LabelCopyright1->setText(QString::fromUtf8(kNoticeSign));
    LabelCopyright2->setText(QString::fromUtf8(kNoticeHolder));
    LabelCopyright3->setText(QString::fromUtf8(kNoticePlace));
    for (QLabel* label : {LabelInfo, LabelVersion, LabelCopyright1, LabelCopyright2, LabelCopyright3})
        label->adjustSize();
    LabelWWW->setToolTip(QString::fromUtf8(kWebAddress));
    LabelWWW->setText(QString::fromUtf8(kWebAddress));
    LabelWWW->adjustSize();
    // The address stays inside the window also where the font makes it wider than planned.
    LabelWWW->move(std::min(LabelWWW->x(), kWidth - 8 - LabelWWW->width()), LabelWWW->y());
    // The bevel ends where the last line of the notice ends.
    Bevel1->resize(LabelCopyright3->geometry().right() + 1 - Bevel1->x(), Bevel1->height());
}

QLabel* TFormAbout::NewText(const QString& Text, const char* Name, int Left, int Top)
{
    auto* label = new QLabel(Text, this);
    label->setObjectName(QString::fromUtf8(Name));
    label->move(Left, Top);
    return label;
}

void TFormAbout::CreateControls()
{
    Image = NewText(QString(), "Image", 0, 0);
    Image->setGeometry(0, 0, kWidth, kHeight);
    Image->setScaledContents(true);
    Image->setPixmap(AboutPicture());

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(0, 0, kWidth, 25);
    Shape1->setAutoFillBackground(true);
    QPalette black = Shape1->palette();
    black.setColor(QPalette::Window, Qt::black);
    Shape1->setPalette(black);

    LabelInfo = NewText(QString(), "LabelInfo", 16, 5);
    QFont infoFont(QStringLiteral("Arial"));
    infoFont.setPixelSize(11);
    infoFont.setBold(true);
    LabelInfo->setFont(infoFont);
    QPalette captionText = LabelInfo->palette();
    captionText.setColor(QPalette::WindowText, Qt::white);
    LabelInfo->setPalette(captionText);

    LabelVersion = NewText(QString(), "LabelVersion", 16, 32);
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(16, 48, 200, 2);
    LabelCopyright1 = NewText(QString(), "LabelCopyright1", 16, 56);
    LabelCopyright2 = NewText(QString(), "LabelCopyright2", 30, 56);
    LabelCopyright3 = NewText(QString(), "LabelCopyright3", 30, 72);

    LabelClose = new TLinkLabel(QStringLiteral("Close"), kLinkColour, this);
    LabelClose->setObjectName(QStringLiteral("LabelClose"));
    LabelClose->move(140, 317);
    LabelClose->adjustSize();
    LabelWWW = new TLinkLabel(QString(), kLinkColour, this);
    LabelWWW->setObjectName(QStringLiteral("LabelWWW"));
    LabelWWW->move(312, 317);
    connect(LabelClose, &TLinkLabel::clicked, this, [this] { LabelCloseClick(); });
    connect(LabelWWW, &TLinkLabel::clicked, this, [this] { Guarded(this, [this] { LabelWWWClick(); }); });
}

void TFormAbout::LabelCloseClick()
{
    done(1);
}

void TFormAbout::LabelWWWClick()
{
    const std::string address = LabelWWW->toolTip().toStdString();
    if (!ui::Ui().OpenDocument(address))
        throw Exception("The web address " + address + " could not be opened.");
}

void TFormAbout::keyPressEvent(QKeyEvent* event)
{
    FormKeyDown(event->key());
}

void TFormAbout::FormKeyDown(int Key)
{
    if (Key == Qt::Key_Escape) done(1);
}

void ShowAboutBox(QWidget* Owner)
{
    TFormAbout about(Owner);
    about.exec();
}
