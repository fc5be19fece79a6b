#include "outline/outline_settings.h"

namespace tardigo {

OutlineSettings::OutlineSettings(QObject* parent) : QObject(parent), _columns(outlineColumns()) {}

void OutlineSettings::setColumns(const QList<Column>& columns) {
    if (columns == _columns)
        return;
    _columns = columns;
    emit columnsChanged();
}

void OutlineSettings::appendColumn(Column column) {
    if (!hasColumn(column))
        setColumns(_columns + QList<Column>{column});
}

void OutlineSettings::removeColumn(Column column) {
    QList<Column> columns = _columns;
    columns.removeAll(column);
    setColumns(columns);
}

void OutlineSettings::setSortIndicator(std::optional<Column> column, SortIndicator indicator) {
    if (indicator == SortIndicator::None)
        column.reset();
    if (column == _indicatorColumn && indicator == _indicator)
        return;
    _indicatorColumn = column;
    _indicator = column ? indicator : SortIndicator::None;
    emit sortIndicatorChanged();
}

void OutlineSettings::setHighlightedColumn(std::optional<Column> column) {
    if (column == _highlightedColumn)
        return;
    _highlightedColumn = column;
    emit highlightedColumnChanged();
}

} // namespace tardigo
