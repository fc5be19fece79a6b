#pragma once

#include "model/value.h"
#include "outline/outline_columns.h"
#include "widgets/hinted_tree_view.h"

#include <QHash>
#include <QPersistentModelIndex>

#include <memory>
#include <optional>
#include <vector>

namespace tardigo {

class OutlineItemModel;
class OutlineSelectionModel;
class OutlineSettings;
class TardigoDocument;

/// The outline of a document window: a tree view over the document's item model and selection,
/// with the columns its settings name. Rows follow the model as it tells them; what the document asks
/// of the outline (items revealed, a cell's editor opened) comes as its signals. The items the user
/// opened stay open while the filters hide them and open again when they are shown; the view
/// remembers them for as long as the window is open, never longer.
class OutlineTreeView : public HintedTreeView {
    Q_OBJECT
public:
    explicit OutlineTreeView(TardigoDocument& document, QWidget* parent = nullptr);
    ~OutlineTreeView() override;

    OutlineItemModel& outlineModel() const { return _model; }
    OutlineSelectionModel& selection() const { return _selection; }

    /// Opens (or closes) the item's row, and with `withChildren` every row below it too; a null item
    /// with its children is every row.
    void expandItem(const NodePtr& item, bool withChildren);
    void collapseItem(const NodePtr& item, bool withChildren);
    /// Whether the outline holds the item open, shown or inside a closed parent.
    bool isItemExpanded(const Dict* item) const;
    /// The items the outline holds open, shown or inside a closed parent.
    std::vector<NodePtr> expandedItems() const;
    /// Holds exactly these items open, all at once: the rows are laid out once, however many open.
    void showExpandedItems(const std::vector<NodePtr>& items);
    /// Opens what hides the items and scrolls to the first of them.
    void revealItems(const std::vector<NodePtr>& items);
    /// Opens the item's cell editor, its text selected or not, when the filters show the item.
    void editItem(const NodePtr& item, Column column, bool selectText);
    /// Whether every row above the index is open, so that its row is on show.
    bool isShown(const QModelIndex& index) const;

    /// The column whose cells are tinted; none for none.
    std::optional<Column> highlightedColumn() const;
    /// Scrolls rows into view; sideways only to show a cell that is to be edited.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    /// Commits the open cell editor's value and closes it.
    void endEditing();
    bool isEditing() const { return state() == EditingState; }
    /// The header shows the columns as a list's window layout was saved: the settings take them.
    void takeColumnsFromHeader();

    /// The completion a slider shows while the user drags it; none for every other cell.
    std::optional<double> trackedCompletion(const QModelIndex& index) const;
    /// Cell controls are drawn at their regular size once rows are taller than 30 pixels.
    bool usesRegularControls() const;

    /// One height for every row; it only grows while the window is open.
    int outlineRowHeight() const { return _rowHeight; }
    void setOutlineRowHeight(int height);
    void raiseRowHeight(int height);
    /// The items' fonts changed: the row height is worked out afresh from the fonts drawn.
    void resetRowHeight();

signals:
    /// A click on a cell that ended on the same cell, after the selection changed; `onSelectedRow`:
    /// the row was the one selected before the click.
    /// A click on an item's cell; no item or no column for a click outside every row or column.
    void cellClicked(const tardigo::NodePtr& item, std::optional<tardigo::Column> column, bool onSelectedRow);
    void cellDoubleClicked(const tardigo::NodePtr& item, std::optional<tardigo::Column> column);
    void headerClicked(tardigo::Column column);
    /// A column was added, removed or moved.
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
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void itemWasExpanded(const QModelIndex& index);
    void itemWasCollapsed(const QModelIndex& index);
    /// Deselects the rows inside closed ones.
    void deselectHiddenRows();
    bool isRemembered(const Dict* item) const;
    /// Opens the row again when the user held it open before it left.
    void openIfRemembered(const QModelIndex& index);
    void setExpanded(const NodePtr& item, bool expanded, bool withChildren);
    /// The header shows the columns the settings name, in their order.
    void showColumns();
    void showSortIndicator();
    /// The cell under a point when the point lies on the cell itself (not its disclosure triangle).
    QModelIndex cellAt(const QPoint& position) const;
    std::optional<Column> columnOf(const QModelIndex& index) const;
    /// Makes the index current without scrolling to it, as a programmatic selection does.
    void setCurrentQuietly(const QModelIndex& index);
    void editIndex(const QModelIndex& index, bool selectText);
    /// The next editable cell after (or before) the item's cell, moving on to the next row.
    void editNextCell(const NodePtr& item, Column column, bool forward);

    TardigoDocument& _document;
    OutlineItemModel& _model;
    OutlineSelectionModel& _selection;
    OutlineSettings& _settings;
    // Expanded items by identity; the weak pointer tells a live item from a new one at the same address.
    QHash<const Dict*, std::weak_ptr<Dict>> _expanded;
    std::vector<QPersistentModelIndex> _pendingExpansions;
    bool _cascadingExpansion = false;
    bool _expandingEverything = false;
    bool _collapsingMany = false; // the rows they hide are deselected once, after
    bool _showingColumns = false;
    QPersistentModelIndex _pressedCell;
    bool _pressedOnSelectedRow = false; // the pressed row was the only one selected before
    QPersistentModelIndex _editedCell;
    QPersistentModelIndex _sliderCell; // the completion slider being dragged
    double _sliderValue = 0.0;
    int _rowHeight = 0;
    bool _scrollsSideways = false;
};

} // namespace tardigo
