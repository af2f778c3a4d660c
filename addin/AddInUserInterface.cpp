#include "addin/AddInUserInterface.h"

#include <QMessageBox>

#include "platform/ui/ApplicationObject.h"
#include "platform/ui/UserInterface.h"

void TAddInUserInterface::ShowError(const std::string& Text, const std::string& Caption)
{
    ui::ShowMessage(nullptr, Text, Caption, ui::MsgIcon::Error);
}

TaxpModalResult TAddInUserInterface::AskCancelRetryIgnore(const std::string& Text, const std::string& Caption)
{
    QString text = QString::fromStdString(Text);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(QMessageBox::Information, QString::fromStdString(Caption), text,
                    QMessageBox::Cancel | QMessageBox::Retry | QMessageBox::Ignore, ui::OwnerOf(nullptr));
    switch (box.exec()) {
        case QMessageBox::Retry:
            return mrRetry;
        case QMessageBox::Ignore:
            return mrIgnore;
        default:
            return mrCancel;
    }
}

void InstallAddInUserInterface()
{
    SetAddInUserInterface(std::make_unique<TAddInUserInterface>());
}
