#include "windows/JamBrowseDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/runtime/Text.h"
#include "platform/shell/KnownFolders.h"

namespace fs = std::filesystem;

namespace {

constexpr int kListRole = Qt::UserRole;
constexpr int kPopulatedRole = Qt::UserRole + 1;
constexpr int kMaxDepth = 4096;

QString ToQt(const std::string& text)
{
    return QString::fromStdString(text);
}

TItemIdList ListOf(const QTreeWidgetItem* item)
{
    const QByteArray bytes = item->data(0, kListRole).toByteArray();
    return TItemIdList{std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()))};
}

bool IsDesktop(const TItemIdList& list)
{
    return PidlCount(list) == 0;
}

/// True when `path` is `folder` or lies below it.
bool IsAtOrBelow(const std::string& path, const std::string& folder)
{
    if (folder == "/") return path.starts_with('/');
    return path == folder ||
           (path.starts_with(folder) && path.size() > folder.size() && path[folder.size()] == '/');
}

struct Entry {
    std::string Name;
    bool Folder;
};

/// The visible entries of a folder: folders first, then (when asked for) files, each sorted
/// by name ignoring case. Names starting with "." are hidden, as file managers hide them.
std::vector<Entry> FolderEntries(const std::string& folder, bool withFiles)
{
    std::vector<Entry> entries;
    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.starts_with('.')) continue;
        std::error_code typeError;
        const bool isFolder = it->is_directory(typeError);
        if (isFolder || withFiles) entries.push_back({std::move(name), isFolder});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.Folder != b.Folder) return a.Folder;
        return CompareText(a.Name, b.Name) < 0;
    });
    return entries;
}

}  // namespace

TJamBrowseDialog::TJamBrowseDialog(QWidget* Owner, const TItemIdList& Root, const std::string& Title,
                                   TJamBrowseFlags Flags)
    : QDialog(Owner), FFlags(Flags)
{
    setObjectName(QStringLiteral("JamBrowseDialog"));
    setWindowTitle(QStringLiteral("Browse For Folder"));
    auto* layout = new QVBoxLayout(this);
    FLabelTitle = new QLabel(ToQt(Title), this);
    FLabelTitle->setObjectName(QStringLiteral("LabelTitle"));
    FLabelTitle->setWordWrap(true);
    layout->addWidget(FLabelTitle);

    FTreeView = new QTreeWidget(this);
    FTreeView->setObjectName(QStringLiteral("TreeView"));
    FTreeView->setHeaderHidden(true);
    FTreeView->setColumnCount(1);
    layout->addWidget(FTreeView, 1);
    connect(FTreeView, &QTreeWidget::itemExpanded, this, &TJamBrowseDialog::Populate);
    connect(FTreeView, &QTreeWidget::currentItemChanged, this, &TJamBrowseDialog::SelectionChanged);

    if (Flags.Contains(bfEditBox)) {
        FEditName = new QLineEdit(this);
        FEditName->setObjectName(QStringLiteral("EditName"));
        layout->addWidget(FEditName);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    FButtonOK = new QPushButton(QStringLiteral("OK"), this);
    FButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    FButtonOK->setDefault(true);
    auto* buttonCancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    buttons->addWidget(FButtonOK);
    buttons->addWidget(buttonCancel);
    layout->addLayout(buttons);
    connect(FButtonOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttonCancel, &QPushButton::clicked, this, &QDialog::reject);

    resize(360, 420);
    // The classic dialog has a fixed size; the new style can be resized.
    if (!Flags.Contains(bfNewDialogStyle)) setFixedSize(size());

    QTreeWidgetItem* root = AddItem(nullptr, Root, GetPidlDisplayName(Root));
    Populate(root);
    root->setExpanded(true);
    Select(root);
}

QTreeWidgetItem* TJamBrowseDialog::AddItem(QTreeWidgetItem* parent, const TItemIdList& list,
                                           const std::string& name)
{
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(FTreeView);
    item->setText(0, ToQt(name));
    item->setData(0, kListRole, QByteArray(list.Bytes.data(), static_cast<qsizetype>(list.Bytes.size())));
    const std::string path = GetPidlPath(list);
    std::error_code ec;
    const bool folder = IsDesktop(list) || path.empty() || fs::is_directory(path, ec);
    QStyle::StandardPixmap icon = folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon;
    if (IsDesktop(list)) icon = QStyle::SP_DesktopIcon;
    if (list == GetSpecialFolderPidl(SF_DRIVES)) icon = QStyle::SP_ComputerIcon;
    item->setIcon(0, style()->standardIcon(icon));
    item->setChildIndicatorPolicy(folder ? QTreeWidgetItem::ShowIndicator
                                         : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    return item;
}

void TJamBrowseDialog::Populate(QTreeWidgetItem* item)
{
    if (item == nullptr || item->data(0, kPopulatedRole).toBool()) return;
    item->setData(0, kPopulatedRole, true);
    const TItemIdList list = ListOf(item);
    if (IsDesktop(list)) {
        // The desktop holds the user's folders and the computer before its own entries.
        for (const PItemIDList& special :
             {PathToPidl(std::nullopt, shell::HomeDir()), GetSpecialFolderPidl(SF_PERSONAL),
              GetSpecialFolderPidl(SF_DRIVES)})
            if (special) AddItem(item, *special, GetPidlDisplayName(special));
        AddFolderEntries(item, GetPidlPath(list));
    } else if (list == GetSpecialFolderPidl(SF_DRIVES)) {
        if (const PItemIDList fileSystem = PathToPidl(std::nullopt, "/")) AddItem(item, *fileSystem, "/");
    } else {
        AddFolderEntries(item, GetPidlPath(list));
    }
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void TJamBrowseDialog::AddFolderEntries(QTreeWidgetItem* item, const std::string& folder)
{
    if (folder.empty()) return;
    const std::string prefix = folder == "/" ? folder : folder + "/";
    for (const Entry& entry : FolderEntries(folder, FFlags.Contains(bfBrowseIncludeFiles)))
        if (const PItemIDList child = PathToPidl(std::nullopt, prefix + entry.Name))
            AddItem(item, *child, entry.Name);
}

QTreeWidgetItem* TJamBrowseDialog::FindChild(QTreeWidgetItem* item, const TItemIdList& target)
{
    for (int i = 0; i < item->childCount(); ++i)
        if (ListOf(item->child(i)) == target) return item->child(i);
    return nullptr;
}

QTreeWidgetItem* TJamBrowseDialog::NextStep(QTreeWidgetItem* item, const std::string& targetPath)
{
    const TItemIdList list = ListOf(item);
    const std::string path = IsDesktop(list) ? std::string() : GetPidlPath(list);
    if (!path.empty()) {
        // A folder on disk: the child named by the next part of the path, added when the
        // folder hides it (a name starting with ".").
        if (!IsAtOrBelow(targetPath, path) || targetPath == path) return nullptr;
        const std::size_t start = path == "/" ? 1 : path.size() + 1;
        const std::string name = targetPath.substr(start, targetPath.find('/', start) - start);
        for (int i = 0; i < item->childCount(); ++i)
            if (item->child(i)->text(0) == ToQt(name)) return item->child(i);
        const PItemIDList hidden = PathToPidl(std::nullopt, (path == "/" ? path : path + "/") + name);
        return hidden ? AddItem(item, *hidden, name) : nullptr;
    }
    // The desktop or a virtual folder: the child that holds the deepest part of the path.
    const PItemIDList computer = GetSpecialFolderPidl(SF_DRIVES);
    QTreeWidgetItem* best = nullptr;
    std::size_t bestLength = 0;
    for (int i = 0; i < item->childCount(); ++i) {
        const TItemIdList childList = ListOf(item->child(i));
        const std::string cover = childList == computer ? std::string("/") : GetPidlPath(childList);
        if (!cover.empty() && IsAtOrBelow(targetPath, cover) && cover.size() > bestLength) {
            best = item->child(i);
            bestLength = cover.size();
        }
    }
    return best;
}

bool TJamBrowseDialog::SelectItem(const TItemIdList& Target)
{
    QTreeWidgetItem* item = FTreeView->topLevelItem(0);
    if (item == nullptr) return false;
    if (ListOf(item) == Target) {
        Select(item);
        return true;
    }
    const std::string targetPath = GetPidlPath(Target);
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        Populate(item);
        if (QTreeWidgetItem* found = FindChild(item, Target)) {
            Select(found);
            return true;
        }
        if (targetPath.empty()) return false;
        item = NextStep(item, targetPath);
        if (item == nullptr) return false;
    }
    return false;
}

void TJamBrowseDialog::Select(QTreeWidgetItem* item)
{
    for (QTreeWidgetItem* parent = item->parent(); parent != nullptr; parent = parent->parent())
        parent->setExpanded(true);
    FTreeView->setCurrentItem(item);
    FTreeView->scrollToItem(item);
}

void TJamBrowseDialog::SelectionChanged()
{
    const QTreeWidgetItem* item = FTreeView->currentItem();
    const bool choosable =
        item != nullptr && (!FFlags.Contains(bfFileSystemOnly) || !GetPidlPath(ListOf(item)).empty());
    FButtonOK->setEnabled(choosable);
    if (FEditName != nullptr) FEditName->setText(item != nullptr ? item->text(0) : QString());
}

PItemIDList TJamBrowseDialog::Chosen() const
{
    const QTreeWidgetItem* item = FTreeView->currentItem();
    if (item == nullptr) return std::nullopt;
    const TItemIdList selected = ListOf(item);
    if (FEditName != nullptr) {
        // A name typed into the edit box: a path of its own, or a name below the selection.
        const std::string typed = Trim(FEditName->text().toStdString());
        if (!typed.empty() && ToQt(typed) != item->text(0))
            if (const PItemIDList named = PathToPidl(selected, typed)) return named;
    }
    return selected;
}

PItemIDList TJamBrowseDialog::Run()
{
    if (exec() != QDialog::Accepted) return std::nullopt;
    return Chosen();
}

void TJamBrowseDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (FInitialized) return;
    FInitialized = true;
    if (OnInitialized) OnInitialized(this);
}
