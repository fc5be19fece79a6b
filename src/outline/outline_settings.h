#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>

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

    /// The identifiers of the columns shown, in order.
    const QStringList& columns() const { return _columns; }
    bool hasColumn(const QString& identifier) const { return _columns.contains(identifier); }
    void setColumns(const QStringList& columns);
    /// Shows a column at the right end.
    void appendColumn(const QString& identifier);
    void removeColumn(const QString& identifier);

    /// A column's sort direction; None when never sorted. Known for every column, shown or not.
    SortIndicator sortDirection(const QString& identifier) const {
        return _sortDirections.value(identifier, SortIndicator::None);
    }
    void setSortDirection(const QString& identifier, SortIndicator direction) {
        _sortDirections[identifier] = direction;
    }
    /// The column whose header shows the arrow, and the arrow; an empty column shows none.
    const QString& indicatorColumn() const { return _indicatorColumn; }
    SortIndicator indicator() const { return _indicator; }
    void setSortIndicator(const QString& identifier, SortIndicator indicator);
    /// The column whose cells are tinted, as the sorted one; empty for none.
    const QString& highlightedColumn() const { return _highlightedColumn; }
    void setHighlightedColumn(const QString& identifier);

signals:
    void columnsChanged();
    void sortIndicatorChanged();
    void highlightedColumnChanged();

private:
    QStringList _columns;
    QHash<QString, SortIndicator> _sortDirections;
    QString _indicatorColumn;
    SortIndicator _indicator = SortIndicator::None;
    QString _highlightedColumn;
};

} // namespace tardigo
