#pragma once

#include "model/value.h"
#include "outline/outline_columns.h"

#include <optional>
#include <vector>

namespace tardigo {

class TardigoDocument;

/// Sorting the whole tree by a column: the header clicks, the direction each column remembers in
/// its header and in the root node, and sorting again after an edit.
class ColumnSorting {
public:
    ColumnSorting(const ColumnSorting&) = delete;
    ColumnSorting& operator=(const ColumnSorting&) = delete;

    /// A click on a column header: sorts by it, flipping the direction on a second click. A column is
    /// never selected: answers false.
    bool headerClicked(Column column);
    /// Works out the column's new direction into its header.
    void updateDirectionOfColumnSort(Column column);
    /// Records the sorted column and every column's direction in the root node, and the arrow.
    void updateHeadersForColumnSort(Column column);
    /// Sorts every level by the column in its header's direction, then reselects on the next pass.
    void sortListByColumn(Column column);
    /// Scrolls to the first item and selects the items without refreshing the window.
    void showAndSelectItems(const std::vector<NodePtr>& items);
    /// Sorts again by the sorted column.
    void sortUpdate();
    /// The same on the next pass of the event loop, the model counting as syncing until then.
    void sortUpdateLater();
    /// Switches sorting off; the items keep their order.
    void endColumnSorting();
    /// The headers as the list was saved: every direction, and the sorted column's arrow. A sorted
    /// column the list names but the outline lacks, or does not show, leaves the list unsorted.
    void restoreSortState();

    /// The column the list is sorted by; none when it is not sorted.
    std::optional<Column> lastSortedColumn() const { return _lastSortedColumn; }

private:
    // Only its document makes one: each document has exactly one of its parts.
    friend class TardigoDocument;
    explicit ColumnSorting(TardigoDocument& document) : _document(document) {}

    TardigoDocument& _document;
    std::optional<Column> _lastSortedColumn;
};

} // namespace tardigo
