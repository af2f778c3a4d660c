#include "tests/themes/support/SampleForm.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMovie>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>

namespace themes_test {

SampleForm::SampleForm() : Form(std::make_unique<QWidget>())
{
    Form->setObjectName("Form");
    Form->resize(420, 460);
    Box = new QGroupBox(QStringLiteral(" E-mails to process "), Form.get());
    Box->setGeometry(8, 8, 250, 70);
    Button = new QPushButton(QStringLiteral("Edit..."), Box);
    Button->setGeometry(10, 30, 80, 26);
    Check = new QCheckBox(QStringLiteral("include subfolders"), Box);
    Check->setGeometry(100, 32, 140, 22);

    QPixmap glyph(32, 16);
    glyph.fill(Qt::magenta);
    QPainter(&glyph).fillRect(2, 2, 12, 12, Qt::darkGreen);
    BitButton = new QPushButton(QStringLiteral("OK"), Form.get());
    BitButton->setProperty("Glyph", glyph);
    BitButton->setProperty("NumGlyphs", 2);
    BitButton->setGeometry(270, 12, 80, 28);
    Speed = new QToolButton(Form.get());
    Speed->setText(QStringLiteral("..."));
    Speed->setGeometry(360, 12, 30, 28);

    Panel = new QFrame(Form.get());
    Panel->setFrameShape(QFrame::Panel);
    Panel->setFrameShadow(QFrame::Raised);
    Panel->setGeometry(8, 84, 250, 40);
    Edit = new QLineEdit(Panel);
    Edit->setGeometry(8, 8, 120, 24);
    Frame = new QWidget(Form.get());
    Frame->setGeometry(270, 84, 120, 40);

    Tabs = new QTabWidget(Form.get());
    Tabs->setGeometry(8, 130, 400, 110);
    Sheet = new QWidget;
    Tabs->addTab(Sheet, QStringLiteral("Jobs"));
    List = new QTreeWidget(Sheet);
    List->setHeaderLabels({QStringLiteral("Sender"), QStringLiteral("Recipient"), QStringLiteral("Subject")});
    List->setGeometry(4, 4, 380, 60);

    Track = new QSlider(Qt::Horizontal, Form.get());
    Track->setTickPosition(QSlider::TicksBelow);
    Track->setGeometry(8, 246, 200, 30);
    CheckList = new QListWidget(Form.get());
    for (const char* text : {"Export e-mails", "Save attachments", "Delete e-mails"}) {
        auto* item = new QListWidgetItem(QString::fromLatin1(text), CheckList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    CheckList->item(1)->setCheckState(Qt::Checked);
    CheckList->setGeometry(8, 282, 200, 70);
    Grid = new QTableWidget(30, 10, Form.get());
    Grid->setGeometry(216, 246, 190, 106);
    Animation = new QLabel(Form.get());
    Animation->setMovie(new QMovie(Animation));
    Animation->setGeometry(8, 360, 32, 32);
    Status = new QStatusBar(Form.get());
    Status->setGeometry(0, 430, 420, 30);
    Status->showMessage(QStringLiteral("3 / 120"));
}

SampleForm::~SampleForm() = default;

}  // namespace themes_test
