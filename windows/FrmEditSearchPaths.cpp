#include "windows/FrmEditSearchPaths.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "jobs/FileTools.h"
#include "platform/ui/ApplicationObject.h"
#include "windows/ControlTools.h"
#include "windows/FrmEditSearchPath.h"
#include "windows/JAMDialogs.h"
#include "windows/SlotGuard.h"

namespace {

constexpr int kHelpContext = 40;
constexpr int kColumnWidth = 200;

QString ToQt(const std::string& text)
{
    return QString::fromStdString(text);
}

void CopyLines(const TStringList& from, TStringList& to)
{
    to.Clear();
    for (const std::string& line : from) to.Add(line);
}

}  // namespace

TFormEditSearchPaths::TFormEditSearchPaths(QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormEditSearchPaths"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* body = new QHBoxLayout;
    body->setContentsMargins(8, 8, 8, 0);
    layout->addLayout(body, 1);

    ListView = new QTreeWidget(this);
    ListView->setObjectName(QStringLiteral("ListView"));
    ListView->setColumnCount(2);
    ListView->setHeaderLabels({QStringLiteral("Original root path"), QStringLiteral("also search here")});
    ListView->setColumnWidth(0, kColumnWidth);
    ListView->setColumnWidth(1, kColumnWidth);
    ListView->header()->setSectionsClickable(false);
    ListView->setRootIsDecorated(false);
    ListView->setItemsExpandable(false);
    ListView->setUniformRowHeights(true);
    ListView->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView->setAllColumnsShowFocus(true);
    body->addWidget(ListView, 1);
    connect(ListView, &QTreeWidget::itemSelectionChanged, this, &TFormEditSearchPaths::UpdateButtons);

    FButtonColumn = new QVBoxLayout;
    body->addLayout(FButtonColumn);
    ButtonUp = AddButton("ButtonUp", "Up", &TFormEditSearchPaths::ButtonUpClick);
    ButtonDown = AddButton("ButtonDown", "Down", &TFormEditSearchPaths::ButtonDownClick);
    ButtonEdit = AddButton("ButtonEdit", "Edit...", &TFormEditSearchPaths::ButtonEditClick);
    ButtonRemove = AddButton("ButtonRemove", "Remove", &TFormEditSearchPaths::ButtonRemoveClick);
    AddButton("ButtonAdd", "Add...", &TFormEditSearchPaths::ButtonAddClick);
    FButtonColumn->addStretch(1);
    AddButton("ButtonOK", "OK", &TFormEditSearchPaths::ButtonOKClick)->setDefault(true);
    AddButton("ButtonCancel", "Cancel", &TFormEditSearchPaths::reject);
    AddButton("ButtonHelp", "Help", &TFormEditSearchPaths::ButtonHelpClick);
    controls::ConnectHelpKey(this, [this] { ButtonHelpClick(); });

    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar"));
    layout->addWidget(statusBar);
    resize(560, 300);
}

QPushButton* TFormEditSearchPaths::AddButton(const char* Name, const char* Caption,
                                             void (TFormEditSearchPaths::*Click)())
{
    auto* button = new QPushButton(QString::fromLatin1(Caption), this);
    button->setObjectName(QString::fromLatin1(Name));
    button->setAutoDefault(false);
    FButtonColumn->addWidget(button);
    connect(button, &QPushButton::clicked, this, Click);
    return button;
}

bool TFormEditSearchPaths::Execute()
{
    setWindowIcon(ui::ApplicationIcon());
    setWindowTitle(QStringLiteral("Trovanta - Edit search paths"));
    FillList();
    UpdateButtons();
    CenterDialogWindow(this);
    return exec() == QDialog::Accepted;
}

void TFormEditSearchPaths::reject()
{
    done(2);
}

void TFormEditSearchPaths::FillList()
{
    ListView->setUpdatesEnabled(false);
    ListView->clear();
    for (const std::string& line : FSearchPaths) {
        // The original root ends at the first "="; a line without one is all original root.
        const std::size_t equals = line.find('=');
        const std::string orgPath = line.substr(0, equals);
        const std::string newPath = equals == std::string::npos ? std::string() : line.substr(equals + 1);
        SetRow(new QTreeWidgetItem(ListView), orgPath, newPath);
    }
    ListView->setUpdatesEnabled(true);
}

void TFormEditSearchPaths::SetRow(QTreeWidgetItem* Item, const std::string& OrgPath,
                                  const std::string& NewPath)
{
    Item->setText(0, ToQt(OrgPath));
    Item->setText(1, ToQt(NewPath));
}

int TFormEditSearchPaths::SelectedRow() const
{
    const QList<QTreeWidgetItem*> selected = ListView->selectedItems();
    return selected.isEmpty() ? -1 : ListView->indexOfTopLevelItem(selected.front());
}

void TFormEditSearchPaths::SelectRow(int Row)
{
    QTreeWidgetItem* item = ListView->topLevelItem(Row);
    if (item == nullptr) return;
    ListView->scrollToItem(item);
    ListView->setCurrentItem(item);
    item->setSelected(true);
}

void TFormEditSearchPaths::UpdateButtons()
{
    const int row = SelectedRow();
    const bool selected = row >= 0;
    ButtonEdit->setEnabled(selected);
    ButtonRemove->setEnabled(selected);
    ButtonUp->setEnabled(selected && row > 0);
    ButtonDown->setEnabled(selected && row < ListView->topLevelItemCount() - 1);
}

bool TFormEditSearchPaths::EditPair(const char* Caption, std::string& OrgPath, std::string& NewPath)
{
    TFormEditSearchPath editor(this);
    editor.setWindowTitle(QString::fromLatin1(Caption));
    editor.SetOrgPath(OrgPath);
    editor.SetNewPath(NewPath);
    if (!editor.Execute()) return false;
    OrgPath = editor.OrgPath();
    NewPath = editor.NewPath();
    return true;
}

void TFormEditSearchPaths::ButtonAddClick()
{
    Guarded(this, [this] {
        const int selected = SelectedRow();
        const int index = selected >= 0 ? selected : ListView->topLevelItemCount();
        std::string orgPath = DefaultOrgPath;
        std::string newPath;
        if (!EditPair("New search path", orgPath, newPath)) return;
        auto* item = new QTreeWidgetItem;
        SetRow(item, orgPath, newPath);
        ListView->insertTopLevelItem(index, item);
        SelectRow(index);
    });
}

void TFormEditSearchPaths::ButtonEditClick()
{
    Guarded(this, [this] {
        QTreeWidgetItem* item = ListView->topLevelItem(SelectedRow());
        if (item == nullptr) return;
        std::string orgPath = item->text(0).toStdString();
        std::string newPath = item->text(1).toStdString();
        if (EditPair("Edit search path", orgPath, newPath)) SetRow(item, orgPath, newPath);
    });
}

void TFormEditSearchPaths::ButtonRemoveClick()
{
    const int row = SelectedRow();
    if (row < 0) return;
    delete ListView->takeTopLevelItem(row);
    const int count = ListView->topLevelItemCount();
    if (count > 0) SelectRow(row < count ? row : count - 1);
    UpdateButtons();
}

void TFormEditSearchPaths::SwapWithRow(int Row, int Other)
{
    QTreeWidgetItem* item = ListView->topLevelItem(Row);
    QTreeWidgetItem* neighbour = ListView->topLevelItem(Other);
    if (item == nullptr || neighbour == nullptr) return;
    for (int column = 0; column < 2; ++column) {
        const QString text = item->text(column);
        item->setText(column, neighbour->text(column));
        neighbour->setText(column, text);
    }
    SelectRow(Other);
}

void TFormEditSearchPaths::ButtonUpClick()
{
    const int row = SelectedRow();
    if (row > 0) SwapWithRow(row, row - 1);
}

void TFormEditSearchPaths::ButtonDownClick()
{
    const int row = SelectedRow();
    if (row >= 0 && row < ListView->topLevelItemCount() - 1) SwapWithRow(row, row + 1);
}

void TFormEditSearchPaths::ButtonOKClick()
{
    Guarded(this, [this] {
        FSearchPaths.Clear();
        for (int row = 0; row < ListView->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = ListView->topLevelItem(row);
            FSearchPaths.Add((item->text(0) + QLatin1Char('=') + item->text(1)).toStdString());
        }
        accept();
    });
}

void TFormEditSearchPaths::ButtonHelpClick()
{
    Guarded(this, [] { ShowHelp(kHelpContext); });
}

bool EditSearchPaths(QWidget* Owner, const std::string& DefaultOrgPath, TSearchPathList& List)
{
    TFormEditSearchPaths form(Owner);
    form.SetDefaultOrgPath(DefaultOrgPath);
    CopyLines(List, form.SearchPaths());
    if (!form.Execute()) return false;
    CopyLines(form.SearchPaths(), List);
    return true;
}
