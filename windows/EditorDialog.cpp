#include "windows/EditorDialog.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include "jobs/FileTools.h"
#include "platform/runtime/Exception.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr const char* kProductName = "Trovanta";

QPushButton* NewBottomButton(QWidget* parent, const char* caption, const char* name)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TEditorDialog::TEditorDialog(QWidget* parent) : QDialog(parent) {}

void TEditorDialog::ShowException(QWidget* parent, std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        // The silent abort: the user chose to stop; nothing to tell.
    } catch (const Exception& e) {
        ui::ShowMessage(parent, e.Message(), kProductName, ui::MsgIcon::Error);
    } catch (const std::exception& e) {
        ui::ShowMessage(parent, e.what(), kProductName, ui::MsgIcon::Error);
    } catch (...) {
        ui::ShowMessage(parent, "Unknown error.", kProductName, ui::MsgIcon::Error);
    }
}

void TEditorDialog::RunHandler(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (...) {
        try {
            ShowException(parent, std::current_exception());
        } catch (...) {
            // Showing the message failed too; a slot must not let it out.
        }
    }
}

void TEditorDialog::AddBottomRow(QBoxLayout* layout, std::initializer_list<TBottomButton> order, QPushButton* extra)
{
    auto* row = new QHBoxLayout;
    if (extra) row->addWidget(extra);
    row->addStretch(1);
    for (const TBottomButton which : order) {
        switch (which) {
        case TBottomButton::Help:
            ButtonHelp = NewBottomButton(this, "Help", "ButtonHelp");
            connect(ButtonHelp, &QPushButton::clicked, this, &TEditorDialog::ButtonHelpClick);
            row->addWidget(ButtonHelp);
            break;
        case TBottomButton::OK:
            ButtonOK = NewBottomButton(this, "OK", "ButtonOK");
            ButtonOK->setDefault(true);
            connect(ButtonOK, &QPushButton::clicked, this, [this] { RunHandler(this, [this] { ButtonOKClick(); }); });
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
    RunHandler(this, [this] { ShowHelp(HelpContext()); });
}

void TEditorDialog::CentreOnScreen()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}
