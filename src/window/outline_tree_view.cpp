#include "window/outline_tree_view.h"

#include "appearance/item_appearance.h"
#include "model/keys.h"
#include "outline/outline_columns.h"
#include "window/completion_slider.h"
#include "window/outline_model.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace tardigo {

namespace {

constexpr int kIndentation = 12;

bool holdsFocus(const QWidget& editor) {
    return editor.hasFocus() || editor.isAncestorOf(QApplication::focusWidget());
}

} // namespace

OutlineTreeView::OutlineTreeView(OutlineDataSource& dataSource, QWidget* parent)
    : HintedTreeView(parent), _dataSource(dataSource), _model(std::make_unique<OutlineModel>(dataSource)) {
    setObjectName(QStringLiteral("outline"));
    setAccessibleName(tr("Items of the list"));
    setModel(_model.get());
    setTreePosition(outlineColumnIndex(key::name));
    setUniformRowHeights(true);
    setIndentation(kIndentation);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectRows);
    setEditTriggers(NoEditTriggers);
    setAllColumnsShowFocus(true);
    setExpandsOnDoubleClick(false);
    setSortingEnabled(false);
    setAlternatingRowColors(true);
    // Rows are dragged to rearrange them, or into other lists and programs.
    setDragDropMode(DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(true);
    QHeaderView* columns = header();
    columns->setSectionsClickable(true);
    columns->setSectionsMovable(true);
    columns->setSortIndicatorShown(true);
    columns->setSortIndicator(-1, Qt::AscendingOrder);
    columns->setStretchLastSection(true);
    columns->setHighlightSections(false);
    connect(columns, &QHeaderView::sectionClicked, this, [this](int section) {
        if (section >= 0 && section < outlineColumnIdentifiers().size())
            emit headerClicked(outlineColumnIdentifiers().at(section));
    });
    connect(this, &QTreeView::expanded, this, &OutlineTreeView::itemWasExpanded);
    connect(this, &QTreeView::collapsed, this, &OutlineTreeView::itemWasCollapsed);
    rowsChanged();
}

OutlineTreeView::~OutlineTreeView() {
    // The view's base class still talks to the model while it goes; the document hears nothing.
    _restoring = true;
    setModel(nullptr);
}

// Rows

const OutlineRows& OutlineTreeView::rows() const {
    if (_rowsStale) {
        // The lists the view was told, so that a row number always names the row on screen.
        _rows.build([this](const NodePtr& item) { return _model->childrenOf(item); },
                    [this](const Dict* item) { return isRemembered(item); });
        _rowsStale = false;
    }
    return _rows;
}

int OutlineTreeView::numberOfRows() const {
    return rows().count();
}

NodePtr OutlineTreeView::itemAtRow(int row) const {
    const OutlineRow* found = rows().at(row);
    return found ? found->item : nullptr;
}

int OutlineTreeView::rowForItem(const Dict* item) const {
    return item ? rows().rowOf(item) : -1;
}

QModelIndex OutlineTreeView::indexForRow(int row, const QString& identifier) const {
    const OutlineRow* found = rows().at(row);
    const int column = outlineColumnIndex(identifier);
    if (!found || column < 0)
        return {};
    return indexForRow(*found, column);
}

QModelIndex OutlineTreeView::indexForRow(const OutlineRow& row, int column) const {
    QModelIndex parent;
    if (row.parent) {
        parent = _model->indexOfItem(row.parent.get());
        if (!parent.isValid())
            if (const OutlineRow* parentRow = rows().at(rowForItem(row.parent.get())))
                parent = indexForRow(*parentRow, 0);
        if (!parent.isValid())
            return {};
    }
    return _model->index(row.childIndex, column, parent);
}

QString OutlineTreeView::identifierOf(const QModelIndex& index) const {
    return index.isValid() ? outlineColumnIdentifiers().value(index.column()) : QString();
}

// Reloading

void OutlineTreeView::reloadAll() {
    synchronize([this] { return _model->synchronize(); });
}

void OutlineTreeView::reloadChildrenOf(const std::vector<NodePtr>& items) {
    synchronize([this, &items] { return _model->synchronize(items); });
}

void OutlineTreeView::dropRowsOf(const std::vector<NarrowedList>& lists) {
    synchronize([this, &lists] {
        // A list not shown as the search showed it before is compared with the document's instead.
        const std::vector<NodePtr> unmatched = _model->dropRows(lists);
        return unmatched.empty() ? std::vector<NodePtr>() : _model->synchronize(unmatched);
    });
}

void OutlineTreeView::synchronize(const std::function<std::vector<NodePtr>()>& modelSynchronization) {
    // Rows that leave drop out of the selection; the document hears of it through its own refresh.
    // The current row is put aside meanwhile: were it to leave, the view would choose another one
    // and lay out every row at once to show it, before laying them out again to draw them.
    _restoring = true;
    const NodePtr current = _model->itemForIndex(currentIndex());
    const int column = currentIndex().column();
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    for (const NodePtr& item : modelSynchronization())
        if (isRemembered(item.get()))
            expand(_model->indexOfItem(item.get()));
    if (const QModelIndex index = _model->indexOfItem(current.get(), std::max(column, 0)); index.isValid())
        setCurrentQuietly(index);
    _restoring = false;
    rowsChanged();
    viewport()->update();
}

void OutlineTreeView::showNewTree() {
    _restoring = true;
    _model->showNewTree();
    _restoring = false;
    rowsChanged();
}

void OutlineTreeView::reloadItem(const NodePtr& item) {
    _model->itemChanged(item);
}

// Expansion

bool OutlineTreeView::isRemembered(const Dict* item) const {
    const auto found = _expanded.constFind(item);
    return found != _expanded.cend() && found->lock().get() == item;
}

std::vector<NodePtr> OutlineTreeView::expandedItems() const {
    std::vector<NodePtr> items;
    for (const std::weak_ptr<Dict>& item : _expanded)
        if (NodePtr live = item.lock())
            items.push_back(std::move(live));
    return items;
}

void OutlineTreeView::showExpandedItems(const std::vector<NodePtr>& items) {
    collapseAll();
    _expanded.clear();
    scheduleDelayedItemsLayout();
    for (const NodePtr& item : items)
        _expanded.insert(item.get(), item);
    // Each top-level item opened opens in turn its remembered children, and so on down.
    const ArrayPtr& top = _model->childrenOf(nullptr);
    for (int row = 0; row < top->size(); ++row)
        if (const Dict* child = top->items[size_t(row)].dictAddress(); child && isRemembered(child))
            expand(_model->index(row, 0));
    rowsChanged();
}

bool OutlineTreeView::isItemExpanded(const Dict* item) const {
    return isRemembered(item);
}

void OutlineTreeView::itemWasExpanded(const QModelIndex& index) {
    // Children that were expanded when their parent was collapsed open again with it.
    _pendingExpansions.emplace_back(index);
    if (_cascadingExpansion)
        return;
    _cascadingExpansion = true;
    while (!_pendingExpansions.empty()) {
        const QPersistentModelIndex expandedIndex = _pendingExpansions.back();
        _pendingExpansions.pop_back();
        const NodePtr item = _model->itemForIndex(expandedIndex);
        if (!item)
            continue;
        _expanded.insert(item.get(), item);
        const ArrayPtr& children = _model->childrenOf(item);
        for (int row = 0; row < children->size(); ++row) {
            const NodePtr child = children->items[size_t(row)].asDict();
            if (child && isRemembered(child.get()))
                expand(_model->index(row, 0, expandedIndex));
        }
    }
    _cascadingExpansion = false;
    rowsChanged();
}

void OutlineTreeView::itemWasCollapsed(const QModelIndex& index) {
    if (const NodePtr item = _model->itemForIndex(index))
        _expanded.remove(item.get());
    rowsChanged();
}

void OutlineTreeView::expandItem(const NodePtr& item, bool expandChildren) {
    setExpanded(item, true, expandChildren);
}

void OutlineTreeView::collapseItem(const NodePtr& item, bool collapseChildren) {
    setExpanded(item, false, collapseChildren);
}

void OutlineTreeView::setExpanded(const NodePtr& item, bool expanded, bool withChildren) {
    struct Pending {
        NodePtr item;
        QModelIndex index; // invalid when the view does not know the item's place
    };
    std::vector<Pending> pending;
    const auto addChildren = [&](const NodePtr& parent, const QModelIndex& parentIndex) {
        const ArrayPtr& children = _model->childrenOf(parent);
        for (int row = 0; row < children->size(); ++row)
            if (NodePtr child = children->items[size_t(row)].asDict())
                pending.push_back({child, parentIndex.isValid() || !parent
                                              ? _model->index(row, 0, parentIndex)
                                              : QModelIndex()});
    };
    if (item) {
        pending.push_back({item, shownIndexOf(item.get(), key::icon)});
    } else if (withChildren) {
        addChildren(nullptr, QModelIndex());
    }
    // Opening or closing one row, the view inserts or removes its rows in place; a whole subtree is
    // laid out once afterwards instead of row by row.
    if (withChildren)
        scheduleDelayedItemsLayout();
    QSet<const Dict*> visited; // a tree that holds a node twice is walked once
    while (!pending.empty()) {
        const Pending next = std::move(pending.back());
        pending.pop_back();
        if (visited.contains(next.item.get()))
            continue;
        visited.insert(next.item.get());
        if (!expanded) {
            _expanded.remove(next.item.get());
            if (next.index.isValid())
                collapse(next.index);
        } else if (_model->childrenOf(next.item)->size() > 0) {
            _expanded.insert(next.item.get(), next.item);
            if (next.index.isValid())
                expand(next.index);
        } else {
            continue;
        }
        if (withChildren)
            addChildren(next.item, next.index);
    }
    rowsChanged();
}

// Selection

std::vector<int> OutlineTreeView::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        const int row = rowForItem(_model->itemForIndex(index).get());
        if (row >= 0)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int OutlineTreeView::selectedRow() const {
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return -1;
    const int last = rowForItem(_lastSelected.lock().get());
    return std::find(rows.begin(), rows.end(), last) != rows.end() ? last : rows.back();
}

void OutlineTreeView::setCurrentQuietly(const QModelIndex& index) {
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    setAutoScroll(scrolls);
}

void OutlineTreeView::selectRow(int row, bool extendSelection) {
    const QModelIndex index = indexForRow(row, key::icon);
    if (!index.isValid())
        return;
    _lastSelected = itemAtRow(row);
    setCurrentQuietly(index);
    selectionModel()->select(
        index, (extendSelection ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect) |
                   QItemSelectionModel::Rows);
}

bool OutlineTreeView::isShown(const QModelIndex& index) const {
    for (QModelIndex ancestor = index.parent(); ancestor.isValid(); ancestor = ancestor.parent())
        if (!isExpanded(ancestor))
            return false;
    return index.isValid();
}

QModelIndex OutlineTreeView::shownIndexOf(const Dict* item, const QString& identifier) const {
    const QModelIndex index = _model->indexOfItem(item, outlineColumnIndex(identifier));
    if (index.isValid())
        return isShown(index) ? index : QModelIndex();
    // A row the view has not laid out yet (a new tree) is found by numbering the rows.
    return indexForRow(rowForItem(item), identifier);
}

std::vector<NodePtr> OutlineTreeView::selectedItems() const {
    // In row order, told by each row's path from the top, without numbering every row.
    std::vector<std::pair<std::vector<int>, NodePtr>> shown;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        if (!isShown(index))
            continue;
        std::vector<int> path;
        for (QModelIndex level = index; level.isValid(); level = level.parent())
            path.insert(path.begin(), level.row());
        if (NodePtr item = _model->itemForIndex(index))
            shown.emplace_back(std::move(path), std::move(item));
    }
    std::sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<NodePtr> items;
    items.reserve(shown.size());
    for (auto& [path, item] : shown)
        items.push_back(std::move(item));
    return items;
}

NodePtr OutlineTreeView::lastSelectedItem() const {
    const NodePtr last = _lastSelected.lock();
    // A selected row is one the model knows: an item it does not know (deleted since) is not
    // looked for among every row.
    const QModelIndex index =
        last ? _model->indexOfItem(last.get(), outlineColumnIndex(key::icon)) : QModelIndex();
    if (index.isValid() && isShown(index) && selectionModel()->isSelected(index))
        return last;
    const std::vector<NodePtr> items = selectedItems();
    return items.empty() ? nullptr : items.back();
}

void OutlineTreeView::selectItems(const std::vector<NodePtr>& items) {
    QItemSelection selection;
    QModelIndex last;
    for (const NodePtr& item : items) {
        const QModelIndex index = shownIndexOf(item.get(), key::icon);
        if (!index.isValid())
            continue;
        selection.select(index, index);
        last = index;
        _lastSelected = item;
    }
    if (last.isValid())
        setCurrentQuietly(last);
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

std::vector<NodePtr> OutlineTreeView::ancestorsOfItem(const NodePtr& item) const {
    std::vector<NodePtr> ancestors;
    for (QModelIndex level = _model->indexOfItem(item.get()).parent(); level.isValid();
         level = level.parent())
        ancestors.insert(ancestors.begin(), _model->itemForIndex(level));
    return ancestors;
}

void OutlineTreeView::scrollItemToVisible(const NodePtr& item) {
    if (const QModelIndex index = shownIndexOf(item.get(), key::name); index.isValid())
        scrollTo(index);
}

void OutlineTreeView::editItem(const NodePtr& item, const QString& identifier, bool selectText) {
    editIndex(shownIndexOf(item.get(), identifier), selectText);
}

void OutlineTreeView::deselectAll() {
    selectionModel()->clearSelection();
}

void OutlineTreeView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QTreeView::selectionChanged(selected, deselected);
    // With nothing selected no row is current, so that none shows a focus frame.
    if (!selectionModel()->hasSelection() && currentIndex().isValid() && !isEditing())
        setCurrentQuietly(QModelIndex());
    if (_restoring)
        return;
    _dataSource.outlineSelectionChanged();
}

void OutlineTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (!_restoring && current.isValid())
        _lastSelected = _model->itemForIndex(current);
}

void OutlineTreeView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    const int sideways = horizontalScrollBar()->value();
    QTreeView::scrollTo(index, hint);
    if (!_scrollsSideways)
        horizontalScrollBar()->setValue(sideways);
}

void OutlineTreeView::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const {
    // The sorted column's tint reaches under the disclosure triangles too.
    if (_highlightedColumn == key::name && !selectionModel()->isSelected(index))
        painter->fillRect(rect, sortedColumnTint(palette()));
    QTreeView::drawBranches(painter, rect, index);
}

void OutlineTreeView::focusInEvent(QFocusEvent* event) {
    // The view makes the first row current when it gains the focus; with nothing selected it stays
    // without a current row, and the first arrow key selects the first row.
    const bool hadCurrent = currentIndex().isValid();
    QTreeView::focusInEvent(event);
    if (!hadCurrent && !selectionModel()->hasSelection())
        setCurrentQuietly(QModelIndex());
}

void OutlineTreeView::scrollToRow(int row) {
    const QModelIndex index = indexForRow(row, key::name);
    if (index.isValid())
        scrollTo(index);
}

// Editing

bool OutlineTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool opened = QTreeView::edit(index, trigger, event);
    if (opened && state() == EditingState)
        _editedCell = index;
    return opened;
}

void OutlineTreeView::editColumn(const QString& identifier, int row, bool selectText) {
    editIndex(indexForRow(row, identifier), selectText);
}

void OutlineTreeView::editIndex(const QModelIndex& index, bool selectText) {
    const NodePtr item = _model->itemForIndex(index);
    if (!item || isColumnHidden(index.column()))
        return;
    _lastSelected = item;
    setCurrentQuietly(index.siblingAtColumn(0));
    selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    _scrollsSideways = true;
    scrollTo(index);
    _scrollsSideways = false;
    if (!edit(index, AllEditTriggers, nullptr))
        return;
    if (auto* lineEdit = qobject_cast<QLineEdit*>(indexWidget(index))) {
        if (selectText)
            lineEdit->selectAll();
        else
            lineEdit->deselect();
    }
}

void OutlineTreeView::endEditing() {
    if (state() != EditingState || !_editedCell.isValid())
        return;
    if (QWidget* editor = indexWidget(_editedCell)) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void OutlineTreeView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const NodePtr item = _model->itemForIndex(_editedCell);
    const QString identifier = identifierOf(_editedCell);
    const bool moves =
        hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem;
    if (editor && !_editedCell.isValid()) {
        // The edit took its row out of the outline (a search it no longer matches): the view no
        // longer knows the editor, and would leave it open until its next layout, the focus going
        // on to the next control when it hides it.
        if (holdsFocus(*editor))
            setFocus();
        editor->hide();
        setState(NoState);
    } else {
        // Return ends editing on the same row, with the outline focused again.
        QTreeView::closeEditor(editor, moves ? QAbstractItemDelegate::NoHint : hint);
    }
    _editedCell = QPersistentModelIndex();
    if (moves && item)
        editNextCell(item, identifier, hint == QAbstractItemDelegate::EditNextItem);
}

void OutlineTreeView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    // The view hides the editor of a row that leaves; the focus the editor held stays in the
    // outline rather than going on to the next control.
    if (state() == EditingState)
        for (QModelIndex cell = _editedCell; cell.isValid(); cell = cell.parent())
            if (cell.parent() == parent && cell.row() >= start && cell.row() <= end) {
                if (const QWidget* editor = indexWidget(_editedCell); editor && holdsFocus(*editor))
                    setFocus();
                break;
            }
    QTreeView::rowsAboutToBeRemoved(parent, start, end);
}

void OutlineTreeView::editNextCell(const NodePtr& item, const QString& identifier, bool forward) {
    QStringList editable;
    for (const QString& column : columnIdentifiers())
        if (isOutlineColumnTypedIn(column))
            editable.append(column);
    int row = rowForItem(item.get());
    if (editable.isEmpty() || row < 0)
        return;
    qsizetype at = editable.indexOf(identifier) + (forward ? 1 : -1);
    if (at >= editable.size()) {
        at = 0;
        ++row;
    } else if (at < 0) {
        at = editable.size() - 1;
        --row;
    }
    if (itemAtRow(row))
        editColumn(editable.at(at), row, true);
}

// Clicks

QModelIndex OutlineTreeView::cellAt(const QPoint& position) const {
    const QModelIndex index = indexAt(position);
    return index.isValid() && visualRect(index).contains(position) ? index : QModelIndex();
}

void OutlineTreeView::mousePressEvent(QMouseEvent* event) {
    // Any press in the outline ends the editing in progress first, as a change of selection does.
    _dataSource.canChangeSelection();
    _pressedCell = cellAt(event->position().toPoint());
    const QItemSelectionModel* selection = selectionModel();
    _pressedOnSelectedRow = _pressedCell.isValid() &&
                            selection->isRowSelected(_pressedCell.row(), _pressedCell.parent()) &&
                            selection->selectedRows().size() == 1;
    QTreeView::mousePressEvent(event);
    const QModelIndex pressed = cellAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && identifierOf(pressed) == key::completion) {
        _sliderCell = pressed;
        _sliderValue = CompletionSlider::fractionAt(visualRect(pressed), event->position().toPoint().x(),
                                                    usesRegularControls(), this);
        viewport()->update(visualRect(pressed));
    }
}

void OutlineTreeView::mouseMoveEvent(QMouseEvent* event) {
    if (!_sliderCell.isValid()) {
        QTreeView::mouseMoveEvent(event);
        return;
    }
    _sliderValue = CompletionSlider::fractionAt(visualRect(_sliderCell), event->position().toPoint().x(),
                                                usesRegularControls(), this);
    viewport()->update(visualRect(_sliderCell));
}

std::optional<double> OutlineTreeView::trackedCompletion(const QModelIndex& index) const {
    if (!_sliderCell.isValid() || index != QModelIndex(_sliderCell))
        return std::nullopt;
    return _sliderValue;
}

bool OutlineTreeView::usesRegularControls() const {
    return _rowHeight > 30;
}

void OutlineTreeView::mouseReleaseEvent(QMouseEvent* event) {
    if (_sliderCell.isValid()) {
        // The slider delivers its value once, when the user lets go.
        const QPersistentModelIndex cell = std::exchange(_sliderCell, QPersistentModelIndex());
        QTreeView::mouseReleaseEvent(event);
        if (cell.isValid())
            _model->setData(cell, _sliderValue);
        return;
    }
    QTreeView::mouseReleaseEvent(event);
    const QModelIndex released = cellAt(event->position().toPoint());
    const bool sameCell = released.isValid() && released == QModelIndex(_pressedCell);
    _pressedCell = QPersistentModelIndex();
    // A click that extends the selection only selects.
    const bool extends = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    if (event->button() == Qt::LeftButton && sameCell && !extends)
        emit cellClicked(rowForItem(_model->itemForIndex(released).get()), identifierOf(released),
                         std::exchange(_pressedOnSelectedRow, false));
}

void OutlineTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    const QModelIndex index = cellAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid())
        emit cellDoubleClicked(rowForItem(_model->itemForIndex(index).get()), identifierOf(index));
}

// Columns

QStringList OutlineTreeView::columnIdentifiers() const {
    QStringList identifiers;
    for (int visual = 0; visual < header()->count(); ++visual) {
        const int logical = header()->logicalIndex(visual);
        if (!header()->isSectionHidden(logical))
            identifiers.append(outlineColumnIdentifiers().value(logical));
    }
    return identifiers;
}

void OutlineTreeView::appendColumn(const QString& identifier) {
    const int logical = outlineColumnIndex(identifier);
    if (logical < 0 || !isColumnHidden(logical))
        return;
    showColumn(logical);
    header()->moveSection(header()->visualIndex(logical), header()->count() - 1);
    emit columnsChanged();
}

void OutlineTreeView::removeColumn(const QString& identifier) {
    const int logical = outlineColumnIndex(identifier);
    if (logical < 0 || isColumnHidden(logical))
        return;
    hideColumn(logical);
    emit columnsChanged();
}

void OutlineTreeView::setHighlightedColumn(const QString& identifier) {
    _highlightedColumn = identifier;
    viewport()->update();
}

void OutlineTreeView::showSortIndicator(const QString& identifier, SortIndicator indicator) {
    const int logical = outlineColumnIndex(identifier);
    if (logical < 0)
        return;
    if (indicator != SortIndicator::None)
        header()->setSortIndicator(logical, indicator == SortIndicator::Ascending ? Qt::AscendingOrder
                                                                                  : Qt::DescendingOrder);
    else if (header()->sortIndicatorSection() == logical)
        header()->setSortIndicator(-1, Qt::AscendingOrder);
}

// Row height

void OutlineTreeView::setOutlineRowHeight(int height) {
    _rowHeight = height;
    scheduleDelayedItemsLayout();
}

void OutlineTreeView::resetRowHeight() {
    setOutlineRowHeight(rowHeightForFont(defaultItemFont()));
}

void OutlineTreeView::raiseRowHeight(int height) {
    if (height > _rowHeight)
        setOutlineRowHeight(height);
}

} // namespace tardigo
