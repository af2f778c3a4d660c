#include "platform/ui/QtUserInterface.h"

#include "platform/ui/ApplicationObject.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace ui {

namespace {

QString FromUtf8(const std::string& text)
{
    QString result = QString::fromStdString(text);
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return result;
}

QMessageBox::Icon QtIcon(MsgIcon icon)
{
    switch (icon) {
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Warning:
            return QMessageBox::Warning;
        case MsgIcon::Error:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonMapping {
    unsigned bit;
    QMessageBox::StandardButton qt;
    int id;
};

constexpr ButtonMapping kButtons[] = {
    {mbYes, QMessageBox::Yes, idYes},
    {mbNo, QMessageBox::No, idNo},
    {mbOK, QMessageBox::Ok, idOK},
    {mbCancel, QMessageBox::Cancel, idCancel},
};

/// What closing the box without a button means: Cancel where there is one, else the
/// answer that changes nothing.
QMessageBox::StandardButton EscapeButton(unsigned buttons)
{
    if (buttons & mbCancel) return QMessageBox::Cancel;
    if (buttons & mbNo) return QMessageBox::No;
    return QMessageBox::Ok;
}

std::optional<std::string> Chosen(const QString& name)
{
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
}

QString StartPath(const FileDialogOptions& options)
{
    if (options.FileName.empty()) return QString::fromStdString(options.InitialDir);
    const QFileInfo name(QString::fromStdString(options.FileName));
    if (name.isAbsolute() || options.InitialDir.empty()) return name.filePath();
    return QString::fromStdString(options.InitialDir) + '/' + name.filePath();
}

/// Runs the desktop's opener of files and addresses (the one found on the PATH) on target. Qt's
/// own services do not open documents on every platform (the offscreen one opens none), and on a
/// desktop they run this very program.
bool StartDesktopOpener(const QString& target)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    return !opener.isEmpty() && QProcess::startDetached(opener, {target});
}

}  // namespace

int QtUserInterface::MessageBox(QWidget* parent, const std::string& Text, const std::string& Caption,
                                MsgIcon Icon, unsigned Buttons)
{
    if (Buttons == 0) Buttons = mbOK;
    QMessageBox box(QtIcon(Icon), FromUtf8(Caption), FromUtf8(Text), QMessageBox::NoButton, OwnerOf(parent));
    for (const ButtonMapping& button : kButtons)
        if (Buttons & button.bit) box.addButton(button.qt);
    box.setEscapeButton(EscapeButton(Buttons));
    const int answer = box.exec();
    for (const ButtonMapping& button : kButtons)
        if (answer == button.qt) return button.id;
    for (const ButtonMapping& button : kButtons)
        if (EscapeButton(Buttons) == button.qt) return button.id;
    return idCancel;
}

std::optional<std::string> QtUserInterface::OpenFileName(QWidget* parent, const FileDialogOptions& Options)
{
    QFileDialog dialog(OwnerOf(parent), FromUtf8(Options.Title), StartPath(Options),
                       QString::fromStdString(QtFileFilter(Options.Filter)));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(Options.FileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return Chosen(dialog.selectedFiles().front());
}

std::optional<std::string> QtUserInterface::SaveFileName(QWidget* parent, const FileDialogOptions& Options)
{
    QFileDialog dialog(OwnerOf(parent), FromUtf8(Options.Title), StartPath(Options),
                       QString::fromStdString(QtFileFilter(Options.Filter)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromStdString(Options.DefaultExt));
    if (!Options.OverwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return Chosen(dialog.selectedFiles().front());
}

bool QtUserInterface::OpenDocument(const std::string& PathOrUrl)
{
    const QString target = QString::fromStdString(PathOrUrl);
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl(target);
    if (!url.isValid()) return false;
    return StartDesktopOpener(url.isLocalFile() ? url.toLocalFile() : url.toString()) ||
           QDesktopServices::openUrl(url);
}

bool QtUserInterface::ShowHelp(const std::string& HelpFile, int Context)
{
    const std::string page = HelpPagePath(HelpFile, Context);
    if (page.empty()) {
        std::string folders;
        for (const std::string& folder : HelpFolders(HelpFile)) folders += "\r\n" + folder;
        ShowMessage(nullptr,
                    "The help page topic-" + std::to_string(Context) +
                        ".html is not installed. It is looked for in:" + folders,
                    "Help", MsgIcon::Information);
        return false;
    }
    if (OpenDocument(page)) return true;
    ShowMessage(nullptr, "No web browser could be started. The help for this window is the page\r\n" + page,
                "Help", MsgIcon::Information);
    return false;
}

}  // namespace ui
