#include "outline/outline_settings.h"

#include "outline/outline_columns.h"

namespace tardigo {

OutlineSettings::OutlineSettings(QObject* parent) : QObject(parent), _columns(outlineColumnIdentifiers()) {}

void OutlineSettings::setColumns(const QStringList& columns) {
    if (columns == _columns)
        return;
    _columns = columns;
    emit columnsChanged();
}

void OutlineSettings::appendColumn(const QString& identifier) {
    if (!hasColumn(identifier))
        setColumns(_columns + QStringList{identifier});
}

void OutlineSettings::removeColumn(const QString& identifier) {
    QStringList columns = _columns;
    columns.removeAll(identifier);
    setColumns(columns);
}

void OutlineSettings::setSortIndicator(const QString& identifier, SortIndicator indicator) {
    const QString column = indicator == SortIndicator::None ? QString() : identifier;
    if (column == _indicatorColumn && indicator == _indicator)
        return;
    _indicatorColumn = column;
    _indicator = column.isEmpty() ? SortIndicator::None : indicator;
    emit sortIndicatorChanged();
}

void OutlineSettings::setHighlightedColumn(const QString& identifier) {
    if (identifier == _highlightedColumn)
        return;
    _highlightedColumn = identifier;
    emit highlightedColumnChanged();
}

} // namespace tardigo
