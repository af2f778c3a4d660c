#include "windows/FrmEditSendOptions.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "windows/ControlTools.h"

using namespace controls;

namespace {

QRadioButton* NewRadio(QWidget* parent, const char* caption, const char* name)
{
    auto* radio = new QRadioButton(QString::fromUtf8(caption), parent);
    radio->setObjectName(QString::fromUtf8(name));
    return radio;
}

}  // namespace

TFormEditSendOptions::TFormEditSendOptions(QWidget* parent) : TEditorDialog(parent)
{
    setObjectName(QStringLiteral("FormEditSendOptions"));
    setWindowTitle(QStringLiteral("Send options"));
    auto* layout = new QVBoxLayout(this);
    QGroupBox* group = NewGroup(this, " On sending an e-mail with an QEL-shortcut ", "GroupSend");
    auto* groupLayout = new QVBoxLayout(group);
    RadioAsk = NewRadio(group, "Ask for replacing the shortcut with the original attachment", "RadioAsk");
    RadioAlways = NewRadio(group, "Always replace the shortcut with the original attachment", "RadioAlways");
    RadioNever = NewRadio(group, "Never replace", "RadioNever");
    groupLayout->addWidget(RadioAsk);
    groupLayout->addWidget(RadioAlways);
    groupLayout->addWidget(RadioNever);
    layout->addWidget(group);
    AddBottomRow(layout, {TBottomButton::Help, TBottomButton::OK, TBottomButton::Cancel});
    MakeFixedDialog();
}

bool TFormEditSendOptions::Execute()
{
    // 0, and 3 (the mode of the batch program only), ask.
    switch (OptionsCopy.ReplaceMode) {
        case 1:
            RadioAlways->setChecked(true);
            break;
        case 2:
            RadioNever->setChecked(true);
            break;
        default:
            RadioAsk->setChecked(true);
            break;
    }
    return ShowModalOK();
}

void TFormEditSendOptions::ButtonOKClick()
{
    OptionsCopy.ReplaceMode = RadioAlways->isChecked() ? 1 : RadioNever->isChecked() ? 2 : 0;
    CloseWithOK();
}
