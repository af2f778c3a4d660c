#include "windows/EditorDialog.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include "jobs/FileTools.h"
#include "windows/ControlTools.h"
#include "windows/SlotGuard.h"

namespace {

QPushButton* NewBottomButton(QWidget* parent, const char* caption, const char* name)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TEditorDialog::TEditorDialog(QWidget* parent) : QDialog(parent) {}

void TEditorDialog::AddBottomRow(QBoxLayout* layout, std::initializer_list<TBottomButton> order,
                                 QPushButton* extra)
{
    auto* row = new QHBoxLayout;
    if (extra) row->addWidget(extra);
    row->addStretch(1);
    for (const TBottomButton which : order) {
        switch (which) {
            case TBottomButton::Help:
                ButtonHelp = NewBottomButton(this, "Help", "ButtonHelp");
                connect(ButtonHelp, &QPushButton::clicked, this, &TEditorDialog::ButtonHelpClick);
                controls::ConnectHelpKey(this, [this] { ButtonHelpClick(); });
                row->addWidget(ButtonHelp);
                break;
            case TBottomButton::OK:
                ButtonOK = NewBottomButton(this, "OK", "ButtonOK");
                ButtonOK->setDefault(true);
                connect(ButtonOK, &QPushButton::clicked, this,
                        [this] { Guarded(this, [this] { ButtonOKClick(); }); });
                row->addWidget(ButtonOK);
                break;
            case TBottomButton::Cancel:
                ButtonCancel = NewBottomButton(this, "Cancel", "ButtonCancel");
                connect(ButtonCancel, &QPushButton::clicked, this, &TEditorDialog::reject);
                row->addWidget(ButtonCancel);
                break;
        }
    }
    layout->addLayout(row);
}

void TEditorDialog::MakeFixedDialog()
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    if (layout()) layout()->setSizeConstraint(QLayout::SetFixedSize);
}

bool TEditorDialog::ShowModalOK()
{
    centred_ = false;
    return exec() == mrOK;
}

void TEditorDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!centred_) {
        CentreOnScreen();
        centred_ = true;
    }
}

void TEditorDialog::ButtonHelpClick()
{
    Guarded(this, [this] { ShowHelp(HelpContext()); });
}

void TEditorDialog::CentreOnScreen()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}
