#include "outline/outline_view.h"

#include "model/tree_operations.h"

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

void OutlineView::revealItems(const Dict& root, const std::vector<NodePtr>& items) {
    selectItems(items);
    std::unordered_set<const Dict*> hidden;
    for (const NodePtr& item : items)
        hidden.insert(item.get());
    for (const NodePtr& item : selectedItems())
        hidden.erase(item.get());
    hidden.erase(nullptr);
    if (!hidden.empty()) {
        // One walk of the tree for all of them: an undone deletion may bring back many.
        for (const auto& [item, ancestors] : ancestorsInTree(hidden, root))
            for (const NodePtr& ancestor : ancestors) // from the top: a row opens once it shows
                expandItem(ancestor, false);
        selectItems(items);
    }
    if (!items.empty())
        scrollItemToVisible(items.front());
}

void OutlineView::editItem(const NodePtr& item, const QString& identifier, bool selectText) {
    if (const int row = rowForItem(item.get()); row >= 0)
        editColumn(identifier, row, selectText);
}

} // namespace tardigo
