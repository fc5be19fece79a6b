#include "outline/headless_outline.h"

#include "model/keys.h"
#include "model/tree_operations.h"
#include "outline/outline_columns.h"

#include <algorithm>
#include <unordered_set>

namespace tardigo {

HeadlessOutline::HeadlessOutline(OutlineDataSource& dataSource)
    : _dataSource(dataSource), _columns(outlineColumnIdentifiers()) {}

void HeadlessOutline::reloadAll() {
    _rowsValid = false;
}

void HeadlessOutline::reloadItem(const NodePtr& item) {
    _lastReloadedItem = item;
}

void HeadlessOutline::expandItem(const NodePtr& item, bool expandChildren) {
    setExpanded(item, true, expandChildren);
}

void HeadlessOutline::collapseItem(const NodePtr& item, bool collapseChildren) {
    setExpanded(item, false, collapseChildren);
}

void HeadlessOutline::setExpanded(const NodePtr& item, bool expanded, bool withChildren) {
    std::vector<NodePtr> pending;
    const auto addChildren = [&](const NodePtr& node) {
        const ArrayPtr children = _dataSource.visibleChildren(node); // may be a new array
        for (const Value& child : children->items)
            if (NodePtr c = child.asDict())
                pending.push_back(std::move(c));
    };
    if (item)
        pending.push_back(item);
    else if (withChildren)
        addChildren(nullptr);                // the invisible root is always expanded
    std::unordered_set<const Dict*> visited; // a tree that holds a node twice is walked once
    while (!pending.empty()) {
        const NodePtr node = std::move(pending.back());
        pending.pop_back();
        if (!visited.insert(node.get()).second)
            continue;
        if (!expanded)
            _expanded.remove(node.get());
        else if (_dataSource.hasVisibleChildren(node))
            _expanded.insert(node.get(), node);
        else
            continue;
        if (withChildren)
            addChildren(node);
    }
    _rowsValid = false;
}

bool HeadlessOutline::isItemExpanded(const Dict* item) const {
    const auto it = _expanded.constFind(item);
    return it != _expanded.cend() && it->lock().get() == item;
}

void HeadlessOutline::ensureRows() const {
    if (_rowsValid)
        return;
    _rowsValid = true;
    const qsizetype previousCount = qsizetype(_rows.size());
    _rows.clear();
    _rowOf.clear();
    _rowOf.reserve(previousCount);
    struct Level {
        ArrayPtr children;
        size_t next;
    };
    std::vector<Level> stack{{_dataSource.visibleChildren(nullptr), 0}};
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next >= level.children->items.size()) {
            stack.pop_back();
            continue;
        }
        NodePtr child = level.children->items[level.next++].asDict();
        // A node that is already shown is not shown again, so that no cycle is followed.
        if (!child || _rowOf.contains(child.get()))
            continue;
        _rowOf.insert(child.get(), int(_rows.size()));
        _rows.push_back(child);
        if (isItemExpanded(child.get()))
            stack.push_back({_dataSource.visibleChildren(child), 0});
    }
    std::erase_if(_selection, [this](const std::weak_ptr<Dict>& item) {
        const NodePtr node = item.lock();
        return !node || !_rowOf.contains(node.get());
    });
}

int HeadlessOutline::numberOfRows() const {
    ensureRows();
    return int(_rows.size());
}

NodePtr HeadlessOutline::itemAtRow(int row) const {
    ensureRows();
    return row >= 0 && row < int(_rows.size()) ? _rows[size_t(row)] : nullptr;
}

int HeadlessOutline::rowForItem(const Dict* item) const {
    ensureRows();
    return _rowOf.value(item, -1);
}

int HeadlessOutline::selectedRow() const {
    ensureRows();
    return _selection.empty() ? -1 : rowForItem(_selection.back().lock().get());
}

std::vector<int> HeadlessOutline::selectedRows() const {
    ensureRows();
    std::vector<int> rows;
    for (const std::weak_ptr<Dict>& item : _selection)
        rows.push_back(rowForItem(item.lock().get()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void HeadlessOutline::selectRow(int row, bool extendSelection) {
    const NodePtr item = itemAtRow(row);
    if (!item)
        return;
    const std::vector<int> before = selectedRows();
    if (!extendSelection)
        _selection.clear();
    std::erase_if(_selection, [&](const std::weak_ptr<Dict>& selected) { return selected.lock() == item; });
    _selection.push_back(item);
    if (selectedRows() != before)
        selectionChanged();
}

void HeadlessOutline::deselectAll() {
    if (_selection.empty())
        return;
    _selection.clear();
    selectionChanged();
}

void HeadlessOutline::clickRow(int row, bool extendSelection) {
    if (_dataSource.canChangeSelection())
        selectRow(row, extendSelection);
}

void HeadlessOutline::selectionChanged() {
    _dataSource.outlineSelectionChanged();
}

void HeadlessOutline::scrollToRow(int row) {
    _lastScrolledRow = row;
}

std::vector<NodePtr> HeadlessOutline::ancestorsOfItem(const NodePtr& item) const {
    // Through the shown tree: the top level and the lists of expanded items.
    return ancestorsInTree(item.get(), [this](const NodePtr& node) -> ArrayPtr {
        if (node && !isItemExpanded(node.get()))
            return nullptr;
        return _dataSource.visibleChildren(node);
    });
}

void HeadlessOutline::editColumn(const QString& identifier, int row, bool selectText) {
    selectRow(row, false);
    if (NodePtr item = itemAtRow(row); item && _columns.contains(identifier))
        _editedCell = EditedCell{std::move(item), identifier, selectText};
}

void HeadlessOutline::endEditing(const CellValue& typed) {
    if (!_editedCell)
        return;
    const EditedCell cell = *std::exchange(_editedCell, std::nullopt);
    _dataSource.setCellValue(typed, cell.identifier, cell.item);
}

void HeadlessOutline::appendColumn(const QString& identifier) {
    if (!_columns.contains(identifier))
        _columns.append(identifier);
}

void HeadlessOutline::removeColumn(const QString& identifier) {
    _columns.removeAll(identifier);
}

void HeadlessOutline::showSortIndicator(const QString& identifier, SortIndicator indicator) {
    _indicators[identifier] = indicator;
}

SortIndicator HeadlessOutline::shownSortIndicator(const QString& identifier) const {
    return _indicators.value(identifier, SortIndicator::None);
}

} // namespace tardigo
