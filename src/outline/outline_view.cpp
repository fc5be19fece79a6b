#include "outline/outline_view.h"

namespace tardigo {

bool OutlineView::hasColumn(const QString& identifier) const {
    return columnIdentifiers().contains(identifier);
}

void OutlineView::reloadChildrenOf(const std::vector<NodePtr>&) {
    reloadAll();
}

void OutlineView::dropRowsOf(const std::vector<NarrowedList>& lists) {
    std::vector<NodePtr> owners;
    appendOwners(lists, owners);
    reloadChildrenOf(owners);
}

std::vector<NodePtr> OutlineView::selectedItems() const {
    std::vector<NodePtr> items;
    for (const int row : selectedRows())
        if (NodePtr item = itemAtRow(row))
            items.push_back(std::move(item));
    return items;
}

NodePtr OutlineView::lastSelectedItem() const {
    return itemAtRow(selectedRow());
}

void OutlineView::selectItems(const std::vector<NodePtr>& items) {
    deselectAll();
    for (const NodePtr& item : items) {
        const int row = rowForItem(item.get());
        if (row >= 0)
            selectRow(row, true);
    }
}

void OutlineView::scrollItemToVisible(const NodePtr& item) {
    if (const int row = rowForItem(item.get()); row >= 0)
        scrollToRow(row);
}

void OutlineView::editItem(const NodePtr& item, const QString& identifier, bool selectText) {
    if (const int row = rowForItem(item.get()); row >= 0)
        editColumn(identifier, row, selectText);
}

} // namespace tardigo
