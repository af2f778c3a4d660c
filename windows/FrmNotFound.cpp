#include "windows/FrmNotFound.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/ShortcutPrompts.h"
#include "jobs/FileTools.h"
#include "platform/ui/ApplicationObject.h"
#include "windows/ControlTools.h"
#include "windows/JAMDialogs.h"
#include "windows/ShortcutPromptFields.h"
#include "windows/SlotGuard.h"

namespace {

constexpr int kHelpContext = 40;
constexpr const char* kNotFoundInfo =
    "The file could not be found.\r\n\r\nMaybe the file has been moved to another location. In this case you "
    "have "
    "to edit the search paths.";

}  // namespace

TFormNotFound::TFormNotFound(QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormNotFound"));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    FFields = new TShortcutPromptFields(this);
    layout->addWidget(FFields);
    LabelNotFoundInfo = new QLabel(this);
    LabelNotFoundInfo->setObjectName(QStringLiteral("LabelNotFoundInfo"));
    LabelNotFoundInfo->setWordWrap(true);
    FFields->TextColumn()->addSpacing(8);
    FFields->TextColumn()->addWidget(LabelNotFoundInfo);

    FButtonRow = new QHBoxLayout;
    layout->addSpacing(8);
    layout->addLayout(FButtonRow);
    QPushButton* buttonEdit = AddButton("ButtonEdit", "Search paths...");
    ButtonDontReplace = AddButton("ButtonDontReplace", "Do not replace");
    ButtonRemoveAtt = AddButton("ButtonRemoveAtt", "Remove attachment");
    QPushButton* buttonCancel = AddButton("ButtonCancel", "Cancel");
    QPushButton* buttonHelp = AddButton("ButtonHelp", "Help");

    connect(buttonEdit, &QPushButton::clicked, this, &TFormNotFound::ButtonEditClick);
    connect(ButtonDontReplace, &QPushButton::clicked, this, &TFormNotFound::ButtonDontReplaceClick);
    connect(ButtonRemoveAtt, &QPushButton::clicked, this, &TFormNotFound::ButtonRemoveAttClick);
    connect(buttonCancel, &QPushButton::clicked, this, &TFormNotFound::reject);
    connect(buttonHelp, &QPushButton::clicked, this, &TFormNotFound::ButtonHelpClick);
    controls::ConnectHelpKey(this, [this] { ButtonHelpClick(); });
    buttonEdit->setFocus();
}

QPushButton* TFormNotFound::AddButton(const char* Name, const char* Caption)
{
    auto* button = new QPushButton(QString::fromLatin1(Caption), this);
    button->setObjectName(QString::fromLatin1(Name));
    FButtonRow->addWidget(button);
    return button;
}

int TFormNotFound::Execute(bool AllowKeep, bool AllowRemove)
{
    setWindowIcon(ui::ApplicationIcon());
    setWindowTitle(QStringLiteral("Trovanta"));
    // The label breaks lines at "\n"; the text's own line ends are "\r\n".
    LabelNotFoundInfo->setText(
        QString::fromLatin1(kNotFoundInfo).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    FFields->ShowNames(FileNamePart(AttFilename), OrgFilename);
    ButtonDontReplace->setEnabled(AllowKeep);
    ButtonDontReplace->setVisible(AllowKeep);
    ButtonRemoveAtt->setEnabled(AllowRemove);
    ButtonRemoveAtt->setVisible(AllowRemove);
    adjustSize();
    CenterDialogWindow(this);
    return exec();
}

void TFormNotFound::reject()
{
    done(prompt::mrCancel);
}

void TFormNotFound::ButtonEditClick()
{
    done(prompt::mrSearchPaths);
}

void TFormNotFound::ButtonDontReplaceClick()
{
    done(prompt::mrDontReplace);
}

void TFormNotFound::ButtonRemoveAttClick()
{
    done(prompt::mrRemoveAtt);
}

void TFormNotFound::ButtonHelpClick()
{
    Guarded(this, [] { ShowHelp(kHelpContext); });
}

int ShowFileNotFound(QWidget* Owner, const std::string& AttFilename, const std::string& OrgFilename,
                     bool AllowKeep, bool AllowRemove)
{
    TFormNotFound form(Owner);
    form.SetAttFilename(AttFilename);
    form.SetOrgFilename(OrgFilename);
    return form.Execute(AllowKeep, AllowRemove);
}
