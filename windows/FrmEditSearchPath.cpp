#include "windows/FrmEditSearchPath.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cctype>
#include <filesystem>

#include "jobs/FileTools.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Text.h"
#include "windows/ControlTools.h"
#include "windows/JAMDialogs.h"
#include "windows/SlotGuard.h"

namespace fs = std::filesystem;

namespace {

constexpr int kHelpContext = 40;

bool IsWindowsPath(const std::string& path)
{
    const bool drive =
        path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
    return drive || path.starts_with("\\\\");
}

QString ToQt(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

std::string ExpandUNCFileName(const std::string& FileName)
{
    if (FileName.empty() || IsWindowsPath(FileName)) return FileName;
    const fs::path typed(ExpandHomeFolder(FileName));
    std::error_code ec;
    fs::path full = fs::absolute(typed, ec);
    if (ec) full = typed;
    std::string normal = full.lexically_normal().string();
    // "dir/." and "dir/.." end in a folder: keep the trailing "/" they imply only when typed.
    const bool trailing = FileName.ends_with('/');
    while (normal.size() > 1 && normal.ends_with('/')) normal.pop_back();
    if (trailing && normal != "/") normal += '/';
    return normal;
}

TFormEditSearchPath::TFormEditSearchPath(QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormEditSearchPath"));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    EditOrgPath = AddFolderRow(grid, 0, "Original root directory:", "EditOrgPath", "ButtonBrowseOrg",
                               &TFormEditSearchPath::ButtonBrowseOrgClick);
    EditNewPath = AddFolderRow(grid, 2, "Also search in this new root directory:", "EditNewPath",
                               "ButtonBrowseNew", &TFormEditSearchPath::ButtonBrowseNewClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* buttonOK = new QPushButton(QStringLiteral("OK"), this);
    buttonOK->setObjectName(QStringLiteral("ButtonOK"));
    buttonOK->setDefault(true);
    auto* buttonCancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    auto* buttonHelp = new QPushButton(QStringLiteral("Help"), this);
    buttonHelp->setObjectName(QStringLiteral("ButtonHelp"));
    buttons->addWidget(buttonOK);
    buttons->addWidget(buttonCancel);
    buttons->addWidget(buttonHelp);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    connect(buttonOK, &QPushButton::clicked, this, &TFormEditSearchPath::ButtonOKClick);
    connect(buttonCancel, &QPushButton::clicked, this, &TFormEditSearchPath::reject);
    connect(buttonHelp, &QPushButton::clicked, this, &TFormEditSearchPath::ButtonHelpClick);
    controls::ConnectHelpKey(this, [this] { ButtonHelpClick(); });

    JamBrowseForFolder = new TJamBrowseForFolder(this);
    JamBrowseForFolder->setObjectName(QStringLiteral("JamBrowseForFolder"));
    JamBrowseForFolder->SetTitle("Browse for folder");
    JamBrowseForFolder->SetOptions({bfNewDialogStyle});
    JamBrowseForFolder->SetRootedAt(SF_DESKTOP);
    JamBrowseForFolder->SetDialogLeft(-1);
    JamBrowseForFolder->SetDialogTop(-1);
}

QLineEdit* TFormEditSearchPath::AddFolderRow(QGridLayout* Grid, int Row, const char* Label,
                                             const char* EditName, const char* ButtonName,
                                             void (TFormEditSearchPath::*Click)())
{
    auto* label = new QLabel(QString::fromLatin1(Label), this);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(EditName));
    edit->setMinimumWidth(360);
    label->setBuddy(edit);
    auto* button = new QPushButton(QStringLiteral("..."), this);
    button->setObjectName(QString::fromLatin1(ButtonName));
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
    Grid->addWidget(label, Row, 0, 1, 2);
    Grid->addWidget(edit, Row + 1, 0);
    Grid->addWidget(button, Row + 1, 1);
    connect(button, &QPushButton::clicked, this, Click);
    return edit;
}

bool TFormEditSearchPath::Execute()
{
    EditOrgPath->setText(ToQt(FOrgPath));
    EditNewPath->setText(ToQt(FNewPath));
    adjustSize();
    CenterDialogWindow(this);
    EditNewPath->setFocus();
    return exec() == QDialog::Accepted;
}

void TFormEditSearchPath::reject()
{
    done(2);
}

void TFormEditSearchPath::ButtonBrowseOrgClick()
{
    BrowseInto(EditOrgPath);
}

void TFormEditSearchPath::ButtonBrowseNewClick()
{
    BrowseInto(EditNewPath);
}

void TFormEditSearchPath::BrowseInto(QLineEdit* Edit)
{
    Guarded(this, [&] {
        JamBrowseForFolder->SetPath(Edit->text().toStdString());
        if (!JamBrowseForFolder->Execute()) return;
        // An item without a file-system path (such as the computer) empties the field.
        const std::string& chosen = JamBrowseForFolder->Path();
        Edit->setText(HasFileSystemPath(chosen) ? ToQt(chosen) : QString());
    });
}

std::string TFormEditSearchPath::RequiredFolder(QLineEdit* Edit)
{
    const std::string folder = Trim(Edit->text().toStdString());
    if (folder.empty()) {
        Edit->setFocus();
        throw Exception("Field is required.");
    }
    return ExpandUNCFileName(folder);
}

void TFormEditSearchPath::ButtonOKClick()
{
    Guarded(this, [this] {
        FOrgPath = RequiredFolder(EditOrgPath);
        if (FOrgPath.find('=') != std::string::npos) {
            // A pair is stored as "<original>=<new>": the first "=" ends the original root.
            EditOrgPath->setFocus();
            throw Exception(
                "The original root directory cannot contain \"=\": the search paths would read it "
                "as a different pair.");
        }
        FNewPath = RequiredFolder(EditNewPath);
        accept();
    });
}

void TFormEditSearchPath::ButtonHelpClick()
{
    Guarded(this, [] { ShowHelp(kHelpContext); });
}
