#include "platform/host/ItemList.h"

#include <QHeaderView>

#include "platform/runtime/DateTime.h"

namespace host {

namespace {
constexpr int kIndexRole = Qt::UserRole;

QString FromText(outlook::IOutlookItem& item)
{
    const std::string name = item.SenderName();
    return QString::fromStdString(name.empty() ? item.SenderEmailAddress() : name);
}
}  // namespace

ItemList::ItemList(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName("ItemList");
    setColumnCount(3);
    setHeaderLabels({"From", "Subject", "Received"});
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAllColumnsShowFocus(true);
    header()->resizeSection(0, 180);
    header()->resizeSection(1, 320);
}

void ItemList::ShowFolder(const ComPtr<outlook::IMAPIFolder>& folder)
{
    const QSignalBlocker block(this);
    clear();
    items_.clear();
    if (!folder) return;
    const auto items = folder->Items();
    const int count = items->Count();
    items_.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        items_.push_back(items->Item(i));
        AddRow(items_.size() - 1, *items_.back());
    }
}

void ItemList::AddRow(std::size_t index, outlook::IOutlookItem& item)
{
    auto* row = new QTreeWidgetItem(this);
    row->setText(0, FromText(item));
    row->setText(1, QString::fromStdString(item.Subject()));
    row->setText(2, QString::fromStdString(ShortDateLongTimeString(item.ReceivedTime())));
    row->setData(0, kIndexRole, static_cast<qulonglong>(index));
    if (item.Unread()) {
        QFont bold = font();
        bold.setBold(true);
        for (int column = 0; column < columnCount(); ++column) row->setFont(column, bold);
    }
}

std::vector<ComPtr<outlook::IOutlookItem>> ItemList::SelectedItems() const
{
    std::vector<ComPtr<outlook::IOutlookItem>> selected;
    for (int i = 0, n = topLevelItemCount(); i < n; ++i) {
        const QTreeWidgetItem* row = topLevelItem(i);
        if (row->isSelected()) selected.push_back(items_.at(row->data(0, kIndexRole).toULongLong()));
    }
    return selected;
}

void ItemList::SelectRows(int first, int last)
{
    clearSelection();
    for (int i = first; i <= last && i < topLevelItemCount(); ++i) topLevelItem(i)->setSelected(true);
    if (first < topLevelItemCount()) setCurrentItem(topLevelItem(first), 0, QItemSelectionModel::NoUpdate);
}

}  // namespace host
