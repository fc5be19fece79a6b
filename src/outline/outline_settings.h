#pragma once

#include "outline/outline_columns.h"

#include <QHash>
#include <QList>
#include <QObject>

#include <optional>

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

/// How a list's outline shows its columns while the list is open: which columns and in what order,
/// each column's sort direction, the sorted column's arrow and its tint. The window's header shows
/// them, and the user moves columns there; the View menu and the sorting change them too.
class OutlineSettings : public QObject {
    Q_OBJECT
public:
    /// All six columns, none sorted.
    explicit OutlineSettings(QObject* parent = nullptr);

    /// The columns shown, in order.
    const QList<Column>& columns() const { return _columns; }
    bool hasColumn(Column column) const { return _columns.contains(column); }
    void setColumns(const QList<Column>& columns);
    /// Shows a column at the right end.
    void appendColumn(Column column);
    void removeColumn(Column column);

    /// A column's sort direction; None when never sorted. Known for every column, shown or not.
    SortIndicator sortDirection(Column column) const {
        return _sortDirections.value(column, SortIndicator::None);
    }
    void setSortDirection(Column column, SortIndicator direction) { _sortDirections[column] = direction; }
    /// The column whose header shows the arrow, and the arrow; none shows none.
    std::optional<Column> indicatorColumn() const { return _indicatorColumn; }
    SortIndicator indicator() const { return _indicator; }
    void setSortIndicator(std::optional<Column> column, SortIndicator indicator);
    /// The column whose cells are tinted, as the sorted one; none for none.
    std::optional<Column> highlightedColumn() const { return _highlightedColumn; }
    void setHighlightedColumn(std::optional<Column> column);

signals:
    void columnsChanged();
    void sortIndicatorChanged();
    void highlightedColumnChanged();

private:
    QList<Column> _columns;
    QHash<Column, SortIndicator> _sortDirections;
    std::optional<Column> _indicatorColumn;
    SortIndicator _indicator = SortIndicator::None;
    std::optional<Column> _highlightedColumn;
};

} // namespace tardigo
