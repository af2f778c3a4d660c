#include "windows/ShortcutPromptFields.h"
#include "platform/ui/ApplicationObject.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QVBoxLayout>

std::string FileNamePart(const std::string& Path)
{
    const std::size_t cut = Path.find_last_of("/\\");
    return cut == std::string::npos ? Path : Path.substr(cut + 1);
}

TShortcutPromptFields::TShortcutPromptFields(QWidget* Parent) : QWidget(Parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    FImage = new QLabel(this);
    FImage->setObjectName(QStringLiteral("Image"));
    QIcon icon = ui::ApplicationIcon();
    if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    FImage->setPixmap(icon.pixmap(32, 32));
    FImage->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    FImage->setFixedWidth(48);
    layout->addWidget(FImage);

    FTextColumn = new QVBoxLayout;
    auto* labelAttachment = new QLabel(QStringLiteral("The attachment"), this);
    labelAttachment->setObjectName(QStringLiteral("LabelAttachment"));
    FTextColumn->addWidget(labelAttachment);
    FEditAttFilename = AddNameField("EditAttFilename");
    auto* labelShortcut = new QLabel(QStringLiteral("contains a shortcut to the file"), this);
    labelShortcut->setObjectName(QStringLiteral("LabelShortcut"));
    FTextColumn->addWidget(labelShortcut);
    FEditOrgFilename = AddNameField("EditOrgFilename");
    layout->addLayout(FTextColumn, 1);
}

QLineEdit* TShortcutPromptFields::AddNameField(const char* Name)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(Name));
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);
    edit->setMinimumWidth(320);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
    FTextColumn->addWidget(edit);
    return edit;
}

void TShortcutPromptFields::ShowNames(const std::string& AttText, const std::string& OrgFilename,
                                      bool WholePath)
{
    FEditAttFilename->setText(QString::fromStdString(AttText));
    FEditOrgFilename->setText(QString::fromStdString(WholePath ? OrgFilename : FileNamePart(OrgFilename)));
    FEditOrgFilename->setToolTip(QString::fromStdString(OrgFilename));
    FEditAttFilename->setCursorPosition(0);
    FEditOrgFilename->setCursorPosition(0);
}
