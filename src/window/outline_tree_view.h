#pragma once

#include "outline/outline_data_source.h"
#include "outline/outline_view.h"
#include "window/hinted_tree_view.h"
#include "window/outline_rows.h"

#include <QHash>
#include <QPersistentModelIndex>

#include <functional>
#include <memory>
#include <optional>

namespace tardigo {

class OutlineModel;

/// The outline of a document window: a tree view over the document's OutlineModel that the
/// document drives through the OutlineView interface. Rows are numbered as the view shows them.
/// A reload tells the view exactly which rows left, came or moved, so that the expanded items, the
/// selection, the current row, an open editor and the scroll position stay; when no row moved, it
/// only redraws.
class OutlineTreeView : public HintedTreeView, public OutlineView {
    Q_OBJECT
public:
    explicit OutlineTreeView(OutlineDataSource& dataSource, QWidget* parent = nullptr);
    ~OutlineTreeView() override;

    OutlineModel& outlineModel() const { return *_model; }

    void reloadAll() override;
    void reloadChildrenOf(const std::vector<NodePtr>& items) override;
    void dropRowsOf(const std::vector<NarrowedList>& lists) override;
    /// The document holds a new tree (a revert or a reload from disk): the outline starts afresh.
    void showNewTree();
    void reloadItem(const NodePtr& item) override;
    void expandItem(const NodePtr& item, bool expandChildren) override;
    void collapseItem(const NodePtr& item, bool collapseChildren) override;
    bool isItemExpanded(const Dict* item) const override;
    /// The items the outline holds open, shown or inside a closed parent.
    std::vector<NodePtr> expandedItems() const;
    /// Holds exactly these items open, all at once: the rows are laid out once, however many open.
    void showExpandedItems(const std::vector<NodePtr>& items);
    int selectedRow() const override;
    std::vector<int> selectedRows() const override;
    NodePtr itemAtRow(int row) const override;
    int rowForItem(const Dict* item) const override;
    void selectRow(int row, bool extendSelection) override;
    void deselectAll() override;
    void scrollToRow(int row) override;
    void editColumn(const QString& identifier, int row, bool selectText) override;
    std::vector<NodePtr> selectedItems() const override;
    NodePtr lastSelectedItem() const override;
    void selectItems(const std::vector<NodePtr>& items) override;
    void scrollItemToVisible(const NodePtr& item) override;
    std::vector<NodePtr> ancestorsOfItem(const NodePtr& item) const override;
    void editItem(const NodePtr& item, const QString& identifier, bool selectText) override;
    QStringList columnIdentifiers() const override;
    void appendColumn(const QString& identifier) override;
    void removeColumn(const QString& identifier) override;
    void setHighlightedColumn(const QString& identifier) override;
    SortIndicator sortDirection(const QString& identifier) const override {
        return _sortDirections.value(identifier, SortIndicator::None);
    }
    void setSortDirection(const QString& identifier, SortIndicator direction) override {
        _sortDirections[identifier] = direction;
    }
    void showSortIndicator(const QString& identifier, SortIndicator indicator) override;
    void resetRowHeight() override;

    QString highlightedColumn() const { return _highlightedColumn; }
    /// Scrolls rows into view; sideways only to show a cell that is to be edited.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    int numberOfRows() const;
    /// The index of a row's cell in the column; invalid when there is no such row or column.
    QModelIndex indexForRow(int row, const QString& identifier) const;
    /// Commits the open cell editor's value and closes it.
    void endEditing();
    bool isEditing() const { return state() == EditingState; }

    /// The completion a slider shows while the user drags it; none for every other cell.
    std::optional<double> trackedCompletion(const QModelIndex& index) const;
    /// Cell controls are drawn at their regular size once rows are taller than 30 pixels.
    bool usesRegularControls() const;

    /// One height for every row; it only grows while the window is open.
    int outlineRowHeight() const { return _rowHeight; }
    void setOutlineRowHeight(int height);
    void raiseRowHeight(int height);

signals:
    /// A click on a cell that ended on the same cell, after the selection changed; `onSelectedRow`:
    /// the row was the one selected before the click.
    void cellClicked(int row, const QString& identifier, bool onSelectedRow);
    void cellDoubleClicked(int row, const QString& identifier);
    void headerClicked(const QString& identifier);
    /// A column was added or removed.
    void columnsChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
    void focusInEvent(QFocusEvent* event) override;

private:
    /// The rows as the view shows them, walked again after the rows or an expansion changed.
    const OutlineRows& rows() const;
    void rowsChanged() { _rowsStale = true; }
    void itemWasExpanded(const QModelIndex& index);
    void itemWasCollapsed(const QModelIndex& index);
    bool isRemembered(const Dict* item) const;
    void setExpanded(const NodePtr& item, bool expanded, bool withChildren);
    /// Runs the model's synchronization, then opens again each item that came back into view and
    /// was expanded before it left.
    void synchronize(const std::function<std::vector<NodePtr>()>& modelSynchronization);
    /// The cell under a point when the point lies on the cell itself (not its disclosure triangle).
    QModelIndex cellAt(const QPoint& position) const;
    QString identifierOf(const QModelIndex& index) const;
    /// Makes the index current without scrolling to it, as a programmatic selection does.
    void setCurrentQuietly(const QModelIndex& index);
    /// The item's cell in the column when its row is on show (every ancestor expanded); else invalid.
    QModelIndex shownIndexOf(const Dict* item, const QString& identifier) const;
    /// The index of a row's cell in a column, its parent's found first when the view has not laid
    /// that out yet.
    QModelIndex indexForRow(const OutlineRow& row, int column) const;
    bool isShown(const QModelIndex& index) const;
    void editIndex(const QModelIndex& index, bool selectText);
    /// The next editable cell after (or before) the item's cell, moving on to the next row.
    void editNextCell(const NodePtr& item, const QString& identifier, bool forward);

    OutlineDataSource& _dataSource;
    std::unique_ptr<OutlineModel> _model;
    mutable OutlineRows _rows;
    mutable bool _rowsStale = false;
    // Expanded items by identity; the weak pointer tells a live item from a new one at the same address.
    QHash<const Dict*, std::weak_ptr<Dict>> _expanded;
    std::vector<QPersistentModelIndex> _pendingExpansions;
    bool _cascadingExpansion = false;
    bool _restoring = false;
    std::weak_ptr<Dict> _lastSelected;
    QHash<QString, SortIndicator> _sortDirections;
    QString _highlightedColumn;
    QPersistentModelIndex _pressedCell;
    bool _pressedOnSelectedRow = false; // the pressed row was the only one selected before
    QPersistentModelIndex _editedCell;
    QPersistentModelIndex _sliderCell; // the completion slider being dragged
    double _sliderValue = 0.0;
    int _rowHeight = 0;
    bool _scrollsSideways = false;
};

} // namespace tardigo
