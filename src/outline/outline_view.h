#pragma once

#include "model/value.h"
#include "outline/narrowed_list.h"

#include <QStringList>

#include <vector>

namespace tardigo {

/// A column's sort direction, and the arrow its header shows.
enum class SortIndicator { None, Ascending, Descending };

/// The direction as the list stores it: 1 ascending, -1 descending, 0 never sorted.
inline int sortDirectionCode(SortIndicator direction) {
    return direction == SortIndicator::Ascending ? 1 : direction == SortIndicator::Descending ? -1 : 0;
}
/// A stored direction read back; a code other than 1 or -1 is none.
inline SortIndicator sortIndicatorFromCode(qint64 code) {
    return code == 1    ? SortIndicator::Ascending
           : code == -1 ? SortIndicator::Descending
                        : SortIndicator::None;
}

/// The outline of a document window as the document drives it. Rows are the visible items of the
/// expanded, filtered tree, numbered from 0 top to bottom; a null item stands for the invisible root.
class OutlineView {
public:
    virtual ~OutlineView() = default;

    /// Asks the data source again for every row; expanded items and selected items stay.
    virtual void reloadAll() = 0;
    /// The same for the children of these items only (null: the top level), when the caller knows
    /// that nothing else moved.
    virtual void reloadChildrenOf(const std::vector<NodePtr>& items);
    /// These lists lost the rows a narrower search no longer shows, and nothing else changed; by
    /// default they are asked for again.
    virtual void dropRowsOf(const std::vector<NarrowedList>& lists);
    /// Redraws one item's row.
    virtual void reloadItem(const NodePtr& item) = 0;
    virtual void expandItem(const NodePtr& item, bool expandChildren) = 0;
    virtual void collapseItem(const NodePtr& item, bool collapseChildren) = 0;
    /// Whether the item's children are shown, as far as the item itself is shown.
    virtual bool isItemExpanded(const Dict* item) const = 0;

    /// The row selected last; -1 when none is.
    virtual int selectedRow() const = 0;
    /// The selected rows in ascending order.
    virtual std::vector<int> selectedRows() const = 0;
    /// Null when no item is at that row.
    virtual NodePtr itemAtRow(int row) const = 0;
    /// -1 when the item is not shown (hidden by the filter or inside a collapsed parent).
    virtual int rowForItem(const Dict* item) const = 0;
    virtual void selectRow(int row, bool extendSelection) = 0;
    virtual void deselectAll() = 0;
    virtual void scrollToRow(int row) = 0;
    /// Makes the row the only selected row and opens the cell's editor, with its text selected or not.
    virtual void editColumn(const QString& identifier, int row, bool selectText) = 0;

    // The same by item. An outline that can answer without numbering its rows overrides them, so that
    // a change of a large list need not number every row again.

    /// The selected items in row order.
    virtual std::vector<NodePtr> selectedItems() const;
    /// The item of the row selected last; null when nothing is selected.
    virtual NodePtr lastSelectedItem() const;
    /// Selects exactly those of the items that are shown; the others are skipped.
    virtual void selectItems(const std::vector<NodePtr>& items);
    virtual void scrollItemToVisible(const NodePtr& item);
    /// Selects the items and scrolls to the first, opening first the items that hide them in the
    /// tree below root: the user sees what was asked for or changed. An item a filter hides stays
    /// unselected.
    void revealItems(const Dict& root, const std::vector<NodePtr>& items);
    /// The items a shown item stands under, from the top level down to its parent; empty for a
    /// top-level item.
    virtual std::vector<NodePtr> ancestorsOfItem(const NodePtr& item) const = 0;
    /// Makes the item the only selected one and opens its cell's editor, when the item is shown.
    virtual void editItem(const NodePtr& item, const QString& identifier, bool selectText);

    /// The identifiers of the columns the outline shows, in order.
    virtual QStringList columnIdentifiers() const = 0;
    /// Adds a column at the right end and re-tiles.
    virtual void appendColumn(const QString& identifier) = 0;
    virtual void removeColumn(const QString& identifier) = 0;
    /// An empty identifier highlights none.
    virtual void setHighlightedColumn(const QString& identifier) = 0;
    /// A column's sort direction, kept in its header; None when never sorted. Known for every
    /// column, shown or not; only the sorted column shows its arrow.
    virtual SortIndicator sortDirection(const QString& identifier) const = 0;
    virtual void setSortDirection(const QString& identifier, SortIndicator direction) = 0;
    virtual void showSortIndicator(const QString& identifier, SortIndicator indicator) = 0;
    /// The items' fonts changed: the row height is worked out afresh from the fonts drawn.
    virtual void resetRowHeight() {}

    bool hasColumn(const QString& identifier) const;
};

} // namespace tardigo
