#include "document/column_sorting.h"

#include "document/tardigo_document.h"
#include "model/core_log.h"
#include "model/keys.h"
#include "outline/node_comparators.h"
#include "outline/outline_columns.h"
#include "outline/outline_selection.h"
#include "outline/outline_settings.h"

#include <memory>

namespace tardigo {

bool ColumnSorting::headerClicked(Column column) {
    updateDirectionOfColumnSort(column);
    updateHeadersForColumnSort(column);
    sortListByColumn(column);
    _lastSortedColumn = column;
    _document.countChange(TardigoDocument::ChangeKind::Done);
    return false;
}

void ColumnSorting::updateDirectionOfColumnSort(Column column) {
    OutlineSettings& settings = _document.outlineSettings();
    const SortIndicator direction = settings.sortDirection(column);
    if (direction == SortIndicator::None)
        settings.setSortDirection(column, SortIndicator::Ascending);
    else if (_lastSortedColumn == column)
        settings.setSortDirection(column, direction == SortIndicator::Ascending ? SortIndicator::Descending
                                                                                : SortIndicator::Ascending);
}

void ColumnSorting::updateHeadersForColumnSort(Column column) {
    OutlineSettings& settings = _document.outlineSettings();
    Dict& root = *_document.data();
    const SortIndicator direction = settings.sortDirection(column);
    settings.setHighlightedColumn(column);
    root.set(key::sortedColumn, columnIdentifier(column));
    if (const DictPtr directions = root.value(key::columnSortDirections).asDict())
        for (const Column shown : settings.columns())
            directions->set(columnIdentifier(shown),
                            Value::integer(sortDirectionCode(settings.sortDirection(shown))));
    settings.setSortIndicator(column, direction);
}

void ColumnSorting::sortListByColumn(Column column) {
    const TardigoDocument::SyncingModel syncing(_document);
    OutlineSettings& settings = _document.outlineSettings();
    const std::vector<NodePtr> selected = _document.selection().selectedItems();
    _document.edits().rearrange({}, [&] {
        sortChildrenByColumn(*_document.data(), column, sortDirectionCode(settings.sortDirection(column)));
    });
    TardigoDocument* document = &_document;
    _document.performLater([document, selected] { document->sorting().showAndSelectItems(selected); });
    _document.countChange(TardigoDocument::ChangeKind::Done);
}

void ColumnSorting::showAndSelectItems(const std::vector<NodePtr>& items) {
    const TardigoDocument::SyncingModel syncing(_document);
    _document.revealItems(items);
}

void ColumnSorting::sortUpdate() {
    _document.finishAllEditing();
    if (_lastSortedColumn)
        sortListByColumn(*_lastSortedColumn);
    _document.countChange(TardigoDocument::ChangeKind::Done);
}

void ColumnSorting::sortUpdateLater() {
    // The model counts as syncing until the sort has run.
    auto syncing = std::make_shared<TardigoDocument::SyncingModel>(_document);
    TardigoDocument* document = &_document;
    _document.performLater([document, syncing] { document->sorting().sortUpdate(); });
}

void ColumnSorting::endColumnSorting() {
    _lastSortedColumn.reset();
    OutlineSettings& settings = _document.outlineSettings();
    settings.setHighlightedColumn(std::nullopt);
    _document.data()->remove(key::sortedColumn);
    settings.setSortIndicator(std::nullopt, SortIndicator::None);
    _document.countChange(TardigoDocument::ChangeKind::Done);
}

void ColumnSorting::restoreSortState() {
    OutlineSettings& settings = _document.outlineSettings();
    const Dict& root = *_document.data();
    const DictPtr directions = root.value(key::columnSortDirections).asDict();
    for (const Column column : outlineColumns()) {
        const Number* direction =
            directions ? directions->value(columnIdentifier(column)).asNumber() : nullptr;
        settings.setSortDirection(column, direction ? sortIndicatorFromCode(direction->toInt64())
                                                    : SortIndicator::None);
    }
    const QString* stored = root.value(key::sortedColumn).asString();
    const std::optional<Column> sorted = stored ? columnFromIdentifier(*stored) : std::nullopt;
    if (sorted && settings.hasColumn(*sorted)) {
        _lastSortedColumn = sorted;
        updateHeadersForColumnSort(*sorted);
    } else {
        _lastSortedColumn.reset();
    }
}

} // namespace tardigo
