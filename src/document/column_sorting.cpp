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

bool ColumnSorting::headerClicked(const QString& identifier) {
    updateDirectionOfColumnSort(identifier);
    updateHeadersForColumnSort(identifier);
    sortListByColumn(identifier);
    _lastSortedColumn = identifier;
    _document.countChange(TardigoDocument::ChangeKind::Done);
    return false;
}

void ColumnSorting::updateDirectionOfColumnSort(const QString& identifier) {
    OutlineSettings& settings = _document.outlineSettings();
    const SortIndicator direction = settings.sortDirection(identifier);
    if (direction == SortIndicator::None)
        settings.setSortDirection(identifier, SortIndicator::Ascending);
    else if (_lastSortedColumn == identifier)
        settings.setSortDirection(identifier, direction == SortIndicator::Ascending
                                                  ? SortIndicator::Descending
                                                  : SortIndicator::Ascending);
}

void ColumnSorting::updateHeadersForColumnSort(const QString& identifier) {
    OutlineSettings& settings = _document.outlineSettings();
    Dict& root = *_document.data();
    const SortIndicator direction = settings.sortDirection(identifier);
    settings.setHighlightedColumn(identifier);
    root.set(key::sortedColumn, identifier);
    if (const DictPtr directions = root.value(key::columnSortDirections).asDict())
        for (const QString& column : settings.columns())
            directions->set(column, Value::integer(sortDirectionCode(settings.sortDirection(column))));
    settings.setSortIndicator(identifier, direction);
}

void ColumnSorting::sortListByColumn(const QString& identifier) {
    const TardigoDocument::SyncingModel syncing(_document);
    OutlineSettings& settings = _document.outlineSettings();
    const std::vector<NodePtr> selected = _document.selection().selectedItems();
    bool sorted = false;
    _document.edits().rearrange({}, [&] {
        sorted = sortChildrenByColumn(*_document.data(), identifier,
                                      sortDirectionCode(settings.sortDirection(identifier)));
    });
    if (!sorted) {
        qCWarning(lcDocument) << "no order for the column" << identifier;
        return;
    }
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
    settings.setHighlightedColumn(QString());
    _document.data()->remove(key::sortedColumn);
    settings.setSortIndicator(QString(), SortIndicator::None);
    _document.countChange(TardigoDocument::ChangeKind::Done);
}

void ColumnSorting::restoreSortState() {
    OutlineSettings& settings = _document.outlineSettings();
    const Dict& root = *_document.data();
    const DictPtr directions = root.value(key::columnSortDirections).asDict();
    for (const QString& column : outlineColumnIdentifiers()) {
        const Number* direction = directions ? directions->value(column).asNumber() : nullptr;
        settings.setSortDirection(column, direction ? sortIndicatorFromCode(direction->toInt64())
                                                    : SortIndicator::None);
    }
    const QString* sorted = root.value(key::sortedColumn).asString();
    if (sorted && settings.hasColumn(*sorted)) {
        _lastSortedColumn = *sorted;
        updateHeadersForColumnSort(*sorted);
    } else {
        _lastSortedColumn.reset();
    }
}

} // namespace tardigo
