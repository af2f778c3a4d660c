#include "windows/DiskFolders.h"

#include <QLineEdit>

#include <filesystem>
#include <system_error>

#include "jobs/FileTools.h"
#include "platform/runtime/Exception.h"
#include "platform/ui/UserInterface.h"
#include "windows/JAMDialogs.h"

std::string ExpandFolderPath(const std::string& Text)
{
    const std::filesystem::path typed(ExpandHomeFolder(Text));
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(typed, error);
    if (error) full = typed;
    return full.lexically_normal().string();
}

std::string ConfirmDiskFolder(QWidget* Parent, QLineEdit* Field, const std::string& Text)
{
    const std::string path = ExpandFolderPath(Text);
    std::error_code error;
    if (!std::filesystem::is_directory(path, error)) {
        const std::string question =
            "The directory " + path + " does not exist.\r\n\r\nWould you like to create it?";
        if (ui::Ui().MessageBox(Parent, question, "Trovanta", ui::MsgIcon::Question, ui::mbYesNo) !=
            ui::idYes) {
            if (Field) Field->setFocus(Qt::OtherFocusReason);
            Abort();
        }
        std::filesystem::create_directories(path, error);
        if (!std::filesystem::is_directory(path, error)) {
            // The editor stays open: a job whose destination cannot be made would fail later.
            if (Field) Field->setFocus(Qt::OtherFocusReason);
            throw Exception("Cannot create the directory " + path + ".");
        }
    }
    return path;
}

void BrowseFolderField(TJamBrowseForFolder& Browser, QLineEdit* Field, const std::string& Title)
{
    Browser.SetTitle(Title);
    Browser.SetPath(ExpandFolderPath(Field->text().toStdString()));
    if (Browser.Execute()) TakeBrowsedFolder(Field, Browser.Path());
}

void TakeBrowsedFolder(QLineEdit* Field, const std::string& ChosenPath)
{
    Field->setText(HasFileSystemPath(ChosenPath) ? QString::fromStdString(ChosenPath) : QString());
}

TJamBrowseForFolder* NewFolderBrowser(QWidget* Form)
{
    auto* browser = new TJamBrowseForFolder(Form);
    browser->setObjectName(QStringLiteral("JamBrowseForFolder"));
    browser->SetOptions({bfNewDialogStyle});
    browser->SetRootedAt(SF_DESKTOP);
    browser->SetDialogLeft(-1);
    browser->SetDialogTop(-1);
    return browser;
}
