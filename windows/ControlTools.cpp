#include "windows/ControlTools.h"

#include <QShortcut>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/runtime/StringList.h"
#include "windows/FrmEditMe.h"
#include "windows/SlotGuard.h"

namespace controls {

std::string Text(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

QGroupBox* NewGroup(QWidget* parent, const char* caption, const char* name)
{
    auto* group = new QGroupBox(QString::fromUtf8(caption), parent);
    if (name) group->setObjectName(QString::fromUtf8(name));
    return group;
}

QLabel* NewLabel(QWidget* parent, const char* caption)
{
    return new QLabel(QString::fromUtf8(caption), parent);
}

QLineEdit* NewEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(name));
    return edit;
}

QCheckBox* NewCheck(QWidget* parent, const char* caption, const char* name)
{
    auto* check = new QCheckBox(QString::fromUtf8(caption), parent);
    check->setObjectName(QString::fromUtf8(name));
    return check;
}

QPushButton* NewBrowseButton(QWidget* parent, const char* name)
{
    auto* button = new QPushButton(QStringLiteral("..."), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    return button;
}

QLabel* NewLinkLabel(QWidget* parent, const char* caption, const char* name, const char* hint)
{
    auto* label = new QLabel(
        QStringLiteral("<a href=\"#\">%1</a>").arg(QString::fromUtf8(caption).toHtmlEscaped()), parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setToolTip(QString::fromUtf8(hint));
    label->setCursor(Qt::PointingHandCursor);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    return label;
}

QLabel* NewMyEmailsLink(QWidget* parent)
{
    QLabel* label = NewLinkLabel(parent, "My e-mail addresses", "LabelMyEmails",
                                 "For the placeholders [ME], [MN], [NE], [NN]");
    QObject::connect(label, &QLabel::linkActivated, parent,
                     [parent] { Guarded(parent, [parent] { EditMyAddresses(parent); }); });
    return label;
}

QComboBox* NewComboList(QWidget* parent, const char* name, std::initializer_list<const char*> items)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromUtf8(name));
    combo->setEditable(false);
    for (const char* item : items) combo->addItem(QString::fromUtf8(item));
    return combo;
}

QPlainTextEdit* NewMaskMemo(QWidget* parent, const char* name)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QString::fromUtf8(name));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setTabChangesFocus(true);
    return memo;
}

void SetComboIndex(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : 0);
}

void ListToMemo(const TStringList& list, QPlainTextEdit* memo)
{
    QStringList lines;
    for (const std::string& line : list) lines.append(Q(line));
    memo->setPlainText(lines.join(QLatin1Char('\n')));
}

void MemoToList(const QPlainTextEdit* memo, TStringList& list)
{
    list.SetText(memo->toPlainText().toStdString());
}

}  // namespace controls

void controls::ConnectHelpKey(QWidget* window, std::function<void()> show)
{
    auto* key = new QShortcut(QKeySequence::HelpContents, window);  // the window owns it
    key->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(key, &QShortcut::activated, window, std::move(show));
}
