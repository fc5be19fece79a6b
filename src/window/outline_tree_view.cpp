#include "window/outline_tree_view.h"

#include "appearance/item_appearance.h"
#include "document/tardigo_document.h"
#include "outline/outline_columns.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "outline/outline_settings.h"
#include "window/completion_slider.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSet>

#include <algorithm>

namespace tardigo {

namespace {

constexpr int kIndentation = 12;

bool holdsFocus(const QWidget& editor) {
    return editor.hasFocus() || editor.isAncestorOf(QApplication::focusWidget());
}

} // namespace

OutlineTreeView::OutlineTreeView(TardigoDocument& document, QWidget* parent)
    : HintedTreeView(parent), _document(document), _model(document.outlineModel()),
      _selection(document.selection()), _settings(document.outlineSettings()) {
    setObjectName(QStringLiteral("outline"));
    setAccessibleName(tr("Items of the list"));
    setModel(&_model);
    setSelectionModel(&_selection);
    setTreePosition(columnIndex(Column::Name));
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
        if (const std::optional<Column> column = columnFromIndex(section))
            emit headerClicked(*column);
    });
    // Columns the user drags to another place move in the settings too.
    connect(columns, &QHeaderView::sectionMoved, this, [this] {
        if (!_showingColumns)
            takeColumnsFromHeader();
    });
    connect(this, &QTreeView::expanded, this, &OutlineTreeView::itemWasExpanded);
    connect(this, &QTreeView::collapsed, this, &OutlineTreeView::itemWasCollapsed);
    connect(&_model, &OutlineItemModel::rowsAppeared, this, [this](const QModelIndexList& indexes) {
        for (const QModelIndex& index : indexes)
            openIfRemembered(index);
    });
    // Rows are as tall as the tallest font drawn, which may be the one that changed.
    connect(&_model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (roles.contains(Qt::FontRole))
                    resetRowHeight();
            });
    connect(&_settings, &OutlineSettings::columnsChanged, this, &OutlineTreeView::showColumns);
    connect(&_settings, &OutlineSettings::sortIndicatorChanged, this, &OutlineTreeView::showSortIndicator);
    connect(&_settings, &OutlineSettings::highlightedColumnChanged, viewport(),
            qOverload<>(&QWidget::update));
    connect(&document, &TardigoDocument::itemsToReveal, this, &OutlineTreeView::revealItems);
    connect(&document, &TardigoDocument::cellEditRequested, this, &OutlineTreeView::editItem);
    showColumns();
    showSortIndicator();
}

OutlineTreeView::~OutlineTreeView() {
    // The view's base class still talks to the model while it goes.
    setModel(nullptr);
}

// Expansion

bool OutlineTreeView::isRemembered(const Dict* item) const {
    const auto found = _expanded.constFind(item);
    return found != _expanded.cend() && found->lock().get() == item;
}

bool OutlineTreeView::isItemExpanded(const Dict* item) const {
    return isRemembered(item);
}

std::vector<NodePtr> OutlineTreeView::expandedItems() const {
    std::vector<NodePtr> items;
    for (const std::weak_ptr<Dict>& item : _expanded)
        if (NodePtr live = item.lock())
            items.push_back(std::move(live));
    return items;
}

void OutlineTreeView::openIfRemembered(const QModelIndex& index) {
    if (const NodePtr item = _model.itemForIndex(index);
        item && isRemembered(item.get()) && !isExpanded(index))
        expand(index.siblingAtColumn(0));
}

void OutlineTreeView::rowsInserted(const QModelIndex& parent, int start, int end) {
    HintedTreeView::rowsInserted(parent, start, end);
    // Rows that come back open again as the user left them.
    for (int row = start; row <= end; ++row)
        openIfRemembered(_model.index(row, 0, parent));
}

void OutlineTreeView::itemWasExpanded(const QModelIndex& index) {
    if (const NodePtr item = _model.itemForIndex(index))
        _expanded.insert(item.get(), item);
    if (_expandingEverything)
        return;
    // Children that were expanded when their parent was collapsed open again with it.
    _pendingExpansions.emplace_back(index);
    if (_cascadingExpansion)
        return;
    const QScopedValueRollback cascading(_cascadingExpansion, true);
    while (!_pendingExpansions.empty()) {
        const QPersistentModelIndex expandedIndex = _pendingExpansions.back();
        _pendingExpansions.pop_back();
        for (int row = 0; row < _model.rowCount(expandedIndex); ++row)
            openIfRemembered(_model.index(row, 0, expandedIndex));
    }
}

void OutlineTreeView::itemWasCollapsed(const QModelIndex& index) {
    if (const NodePtr item = _model.itemForIndex(index))
        _expanded.remove(item.get());
    if (!_collapsingMany)
        deselectHiddenRows();
}

void OutlineTreeView::deselectHiddenRows() {
    // What a closed row hides is no longer selected: commands act on what the user sees.
    QItemSelection hidden;
    for (const QModelIndex& selected : _selection.selectedRows())
        if (!isShown(selected))
            hidden.select(selected, selected.siblingAtColumn(_model.columnCount() - 1));
    if (!hidden.isEmpty())
        _selection.select(hidden, QItemSelectionModel::Deselect);
}

void OutlineTreeView::expandItem(const NodePtr& item, bool withChildren) {
    setExpanded(item, true, withChildren);
}

void OutlineTreeView::collapseItem(const NodePtr& item, bool withChildren) {
    setExpanded(item, false, withChildren);
}

void OutlineTreeView::setExpanded(const NodePtr& item, bool expanded, bool withChildren) {
    if (!item && withChildren) {
        if (expanded) {
            // Every row with rows below it, laid out once afterwards. Not QTreeView::expandAll(),
            // which holds every row open, those without rows too: each open row is a persistent
            // index, which each later change of rows updates.
            const QScopedValueRollback everything(_expandingEverything, true);
            scheduleDelayedItemsLayout();
            std::vector<QModelIndex> pending{QModelIndex()};
            while (!pending.empty()) {
                const QModelIndex parent = pending.back();
                pending.pop_back();
                for (int row = 0; row < _model.rowCount(parent); ++row)
                    if (const QModelIndex child = _model.index(row, 0, parent); _model.hasChildren(child)) {
                        expand(child);
                        pending.push_back(child);
                    }
            }
        } else {
            {
                const QScopedValueRollback many(_collapsingMany, true);
                collapseAll();
            }
            _expanded.clear();
            deselectHiddenRows();
        }
        return;
    }
    const QModelIndex top = _model.indexOfItem(item.get());
    if (!top.isValid())
        return;
    // Opening or closing one row, the view inserts or removes its rows in place; a whole subtree is
    // laid out once afterwards instead of row by row.
    if (withChildren)
        scheduleDelayedItemsLayout();
    std::vector<QModelIndex> pending{top};
    while (!pending.empty()) {
        const QModelIndex index = pending.back();
        pending.pop_back();
        if (!expanded) {
            _expanded.remove(_model.itemForIndex(index).get());
            collapse(index);
        } else if (_model.hasChildren(index)) {
            expand(index);
        }
        if (withChildren)
            for (int row = 0; row < _model.rowCount(index); ++row)
                pending.push_back(_model.index(row, 0, index));
    }
}

void OutlineTreeView::showExpandedItems(const std::vector<NodePtr>& items) {
    {
        const QScopedValueRollback many(_collapsingMany, true);
        collapseAll();
    }
    _expanded.clear();
    scheduleDelayedItemsLayout();
    for (const NodePtr& item : items)
        _expanded.insert(item.get(), item);
    // Each top-level item opened opens in turn its remembered children, and so on down.
    for (int row = 0; row < _model.rowCount(); ++row)
        openIfRemembered(_model.index(row, 0));
    deselectHiddenRows();
}

void OutlineTreeView::revealItems(const std::vector<NodePtr>& items) {
    for (const NodePtr& item : items)
        for (const NodePtr& ancestor : _model.ancestorsOf(item.get())) // from the top: a row opens once shown
            if (const QModelIndex index = _model.indexOfItem(ancestor.get());
                index.isValid() && !isExpanded(index))
                expand(index);
    if (!items.empty())
        if (const QModelIndex index = _model.indexOfItem(items.front().get(), columnIndex(Column::Name));
            index.isValid())
            scrollTo(index);
}

bool OutlineTreeView::isShown(const QModelIndex& index) const {
    for (QModelIndex ancestor = index.parent(); ancestor.isValid(); ancestor = ancestor.parent())
        if (!isExpanded(ancestor))
            return false;
    return index.isValid();
}

// Selection

void OutlineTreeView::setCurrentQuietly(const QModelIndex& index) {
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    _selection.setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    setAutoScroll(scrolls);
}

void OutlineTreeView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QTreeView::selectionChanged(selected, deselected);
    // With nothing selected no row is current, so that none shows a focus frame.
    if (!_selection.hasSelection() && currentIndex().isValid() && !isEditing())
        setCurrentQuietly(QModelIndex());
}

void OutlineTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // A command that selects scrolls where it means to, not to the row it makes current.
    const bool scrolls = hasAutoScroll();
    if (_selection.isSelectingForCommand())
        setAutoScroll(false);
    QTreeView::currentChanged(current, previous);
    setAutoScroll(scrolls);
}

void OutlineTreeView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    const int sideways = horizontalScrollBar()->value();
    QTreeView::scrollTo(index, hint);
    if (!_scrollsSideways)
        horizontalScrollBar()->setValue(sideways);
}

std::optional<Column> OutlineTreeView::highlightedColumn() const {
    return _settings.highlightedColumn();
}

void OutlineTreeView::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const {
    // The sorted column's tint reaches under the disclosure triangles too.
    if (highlightedColumn() == Column::Name && !_selection.isSelected(index))
        painter->fillRect(rect, sortedColumnTint(palette()));
    QTreeView::drawBranches(painter, rect, index);
}

void OutlineTreeView::focusInEvent(QFocusEvent* event) {
    // The view makes the first row current when it gains the focus; with nothing selected it stays
    // without a current row, and the first arrow key selects the first row.
    const bool hadCurrent = currentIndex().isValid();
    QTreeView::focusInEvent(event);
    if (!hadCurrent && !_selection.hasSelection())
        setCurrentQuietly(QModelIndex());
}

// Editing

bool OutlineTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool opened = QTreeView::edit(index, trigger, event);
    if (opened && state() == EditingState)
        _editedCell = index;
    return opened;
}

void OutlineTreeView::editItem(const NodePtr& item, Column column, bool selectText) {
    revealItems({item});
    editIndex(_model.indexOfItem(item.get(), columnIndex(column)), selectText);
}

void OutlineTreeView::editIndex(const QModelIndex& index, bool selectText) {
    if (!_model.itemForIndex(index) || isColumnHidden(index.column()))
        return;
    setCurrentQuietly(index.siblingAtColumn(0));
    _selection.select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
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
    const NodePtr item = _model.itemForIndex(_editedCell);
    const std::optional<Column> column = columnOf(_editedCell);
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
    if (moves && item && column)
        editNextCell(item, *column, hint == QAbstractItemDelegate::EditNextItem);
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

void OutlineTreeView::editNextCell(const NodePtr& item, Column column, bool forward) {
    QList<Column> editable;
    for (const Column shown : _settings.columns())
        if (isColumnTypedIn(shown))
            editable.append(shown);
    QModelIndex row = _model.indexOfItem(item.get());
    if (editable.isEmpty() || !row.isValid())
        return;
    qsizetype at = editable.indexOf(column) + (forward ? 1 : -1);
    if (at >= editable.size()) {
        at = 0;
        row = indexBelow(row);
    } else if (at < 0) {
        at = editable.size() - 1;
        row = indexAbove(row);
    }
    if (const NodePtr next = _model.itemForIndex(row))
        editItem(next, editable.at(at), true);
}

// Clicks

std::optional<Column> OutlineTreeView::columnOf(const QModelIndex& index) const {
    return index.isValid() ? columnFromIndex(index.column()) : std::nullopt;
}

QModelIndex OutlineTreeView::cellAt(const QPoint& position) const {
    const QModelIndex index = indexAt(position);
    return index.isValid() && visualRect(index).contains(position) ? index : QModelIndex();
}

void OutlineTreeView::mousePressEvent(QMouseEvent* event) {
    // Any press in the outline ends the editing in progress first, as a change of selection does.
    _document.finishAllEditing();
    _pressedCell = cellAt(event->position().toPoint());
    _pressedOnSelectedRow = _pressedCell.isValid() &&
                            _selection.isRowSelected(_pressedCell.row(), _pressedCell.parent()) &&
                            _selection.selectedRows().size() == 1;
    QTreeView::mousePressEvent(event);
    const QModelIndex pressed = cellAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && columnOf(pressed) == Column::Completion) {
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
            _model.setData(cell, _sliderValue);
        return;
    }
    QTreeView::mouseReleaseEvent(event);
    const QModelIndex released = cellAt(event->position().toPoint());
    const bool sameCell = released.isValid() && released == QModelIndex(_pressedCell);
    _pressedCell = QPersistentModelIndex();
    // A click that extends the selection only selects.
    const bool extends = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    if (event->button() == Qt::LeftButton && sameCell && !extends)
        emit cellClicked(_model.itemForIndex(released), columnOf(released),
                         std::exchange(_pressedOnSelectedRow, false));
}

void OutlineTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    const QModelIndex index = cellAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid())
        emit cellDoubleClicked(_model.itemForIndex(index), columnOf(index));
}

// Columns

void OutlineTreeView::showColumns() {
    const QScopedValueRollback showing(_showingColumns, true);
    QHeaderView* columns = header();
    const QList<Column>& shown = _settings.columns();
    for (int logical = 0; logical < columns->count(); ++logical) {
        const std::optional<Column> column = columnFromIndex(logical);
        columns->setSectionHidden(logical, !column || !shown.contains(*column));
    }
    // The shown columns first, in the settings' order: a column shown last goes at the right end.
    int next = 0;
    for (const Column column : shown) {
        const int logical = columnIndex(column);
        if (columns->visualIndex(logical) != next)
            columns->moveSection(columns->visualIndex(logical), next);
        next = columns->visualIndex(logical) + 1;
    }
    emit columnsChanged();
}

void OutlineTreeView::takeColumnsFromHeader() {
    QList<Column> shown;
    for (int visual = 0; visual < header()->count(); ++visual) {
        const int logical = header()->logicalIndex(visual);
        if (const std::optional<Column> column = columnFromIndex(logical);
            column && !header()->isSectionHidden(logical))
            shown.append(*column);
    }
    _settings.setColumns(shown);
    emit columnsChanged();
}

void OutlineTreeView::showSortIndicator() {
    const std::optional<Column> column = _settings.indicatorColumn();
    if (!column || _settings.indicator() == SortIndicator::None)
        header()->setSortIndicator(-1, Qt::AscendingOrder);
    else
        header()->setSortIndicator(columnIndex(*column), _settings.indicator() == SortIndicator::Ascending
                                                             ? Qt::AscendingOrder
                                                             : Qt::DescendingOrder);
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
