#include "windows/FrmConfirmReplace.h"

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

constexpr int kHelpContext = 41;

}  // namespace

TFormConfirmReplace::TFormConfirmReplace(QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormConfirmReplace"));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    FFields = new TShortcutPromptFields(this);
    layout->addWidget(FFields);
    auto* labelQuestion =
        new QLabel(QStringLiteral("Would you like to replace the shortcut with the original file?"), this);
    labelQuestion->setObjectName(QStringLiteral("LabelQuestion"));
    FFields->TextColumn()->addSpacing(8);
    FFields->TextColumn()->addWidget(labelQuestion);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const auto addButton = [&](const char* name, const char* caption) {
        auto* button = new QPushButton(QString::fromLatin1(caption), this);
        button->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(button);
        return button;
    };
    QPushButton* buttonYes = addButton("ButtonYes", "Yes");
    QPushButton* buttonNo = addButton("ButtonNo", "No");
    QPushButton* buttonYesToAll = addButton("ButtonYesToAll", "Yes to all");
    QPushButton* buttonCancel = addButton("ButtonCancel", "Cancel");
    QPushButton* buttonHelp = addButton("ButtonHelp", "Help");
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(buttonYes, &QPushButton::clicked, this, [this] { done(prompt::mrYes); });
    connect(buttonNo, &QPushButton::clicked, this, [this] { done(prompt::mrNo); });
    connect(buttonYesToAll, &QPushButton::clicked, this, [this] { done(prompt::mrYesToAll); });
    connect(buttonCancel, &QPushButton::clicked, this, &TFormConfirmReplace::reject);
    connect(buttonHelp, &QPushButton::clicked, this, &TFormConfirmReplace::ButtonHelpClick);
    controls::ConnectHelpKey(this, [this] { ButtonHelpClick(); });
    buttonYes->setFocus();
}

int TFormConfirmReplace::Execute()
{
    setWindowIcon(ui::ApplicationIcon());
    setWindowTitle(QStringLiteral("Trovanta"));
    // The whole path: the shortcut may come from a stranger, and where its file lies is what
    // the user decides on.
    FFields->ShowNames(AttFilename, OrgFilename, true);
    adjustSize();
    CenterDialogWindow(this);
    return exec();
}

void TFormConfirmReplace::reject()
{
    done(prompt::mrCancel);
}

void TFormConfirmReplace::ButtonHelpClick()
{
    Guarded(this, [] { ShowHelp(kHelpContext); });
}
