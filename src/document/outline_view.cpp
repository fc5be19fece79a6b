#include "document/outline_view.h"

namespace tardigo {

bool OutlineView::containsTableColumn(const QString& identifier) const {
    return tableColumnIdentifiers().contains(identifier);
}

NodePtr VKselectedItem(const OutlineView& outline) {
    return outline.itemAtRow(outline.selectedRow());
}

std::vector<NodePtr> VKallSelectedItems(const OutlineView& outline) {
    std::vector<NodePtr> items;
    for (const int row : outline.selectedRows())
        if (NodePtr item = outline.itemAtRow(row))
            items.push_back(std::move(item));
    return items;
}

void VKselectItems(OutlineView& outline, const std::vector<NodePtr>& items) {
    outline.deselectAll();
    for (const NodePtr& item : items) {
        const int row = outline.rowForItem(item.get());
        if (row >= 0)
            outline.selectRow(row, true);
    }
}

} // namespace tardigo
