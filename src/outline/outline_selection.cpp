#include "outline/outline_selection.h"

#include "outline/outline_item_model.h"

#include <QScopedValueRollback>

#include <algorithm>

namespace tardigo {

OutlineSelectionModel::OutlineSelectionModel(OutlineItemModel& model, QObject* parent)
    : QItemSelectionModel(&model, parent), _model(model) {}

std::vector<NodePtr> OutlineSelectionModel::selectedItems() const {
    // Each item's place from the top, worked out once: a selection may hold every row.
    std::vector<std::pair<std::vector<int>, NodePtr>> selected;
    for (const QModelIndex& index : selectedRows()) {
        std::vector<int> path;
        for (QModelIndex level = index; level.isValid(); level = level.parent())
            path.push_back(level.row());
        std::reverse(path.begin(), path.end());
        if (NodePtr item = _model.itemForIndex(index))
            selected.emplace_back(std::move(path), std::move(item));
    }
    std::sort(selected.begin(), selected.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<NodePtr> items;
    items.reserve(selected.size());
    for (auto& [path, item] : selected)
        items.push_back(std::move(item));
    return items;
}

NodePtr OutlineSelectionModel::lastSelectedItem() const {
    if (const QModelIndex current = currentIndex();
        current.isValid() && isRowSelected(current.row(), current.parent()))
        return _model.itemForIndex(current);
    const std::vector<NodePtr> items = selectedItems();
    return items.empty() ? nullptr : items.back();
}

void OutlineSelectionModel::selectItems(const std::vector<NodePtr>& items) {
    const QScopedValueRollback commanded(_selectingForCommand, true);
    QItemSelection selection;
    QModelIndex last;
    for (const NodePtr& item : items) {
        const QModelIndex index = _model.indexOfItem(item.get());
        if (!index.isValid())
            continue;
        selection.select(index, index);
        last = index;
    }
    if (last.isValid())
        setCurrentIndex(last, NoUpdate);
    select(selection, ClearAndSelect | Rows);
}

} // namespace tardigo
