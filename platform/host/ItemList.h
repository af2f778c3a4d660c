#pragma once
// The item list of the mail client's window: the items of the shown folder, one row each,
// unread ones in bold; several rows may be selected.

#include <QTreeWidget>

#include <vector>

#include "platform/outlook/Outlook.h"

namespace host {

class ItemList final : public QTreeWidget {
    Q_OBJECT
public:
    explicit ItemList(QWidget* parent = nullptr);

    /// Shows the items of `folder` (none for an empty pointer).
    void ShowFolder(const ComPtr<outlook::IMAPIFolder>& folder);
    /// The selected items in list order.
    std::vector<ComPtr<outlook::IOutlookItem>> SelectedItems() const;
    /// Selects the rows from `first` to `last` (0-based, inclusive) and nothing else.
    void SelectRows(int first, int last);

private:
    void AddRow(std::size_t index, outlook::IOutlookItem& item);

    std::vector<ComPtr<outlook::IOutlookItem>> items_;
};

}  // namespace host
