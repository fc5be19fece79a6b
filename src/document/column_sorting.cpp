#include "document/column_sorting.h"

#include "document/document_log.h"
#include "document/tardigo_document.h"
#include "model/keys.h"
#include "outline/node_comparators.h"
#include "outline/outline_columns.h"
#include "outline/outline_view.h"

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
    OutlineView& outline = _document.outlineView();
    const SortIndicator direction = outline.sortDirection(identifier);
    if (direction == SortIndicator::None)
        outline.setSortDirection(identifier, SortIndicator::Ascending);
    else if (_lastSortedColumn == identifier)
        outline.setSortDirection(identifier, direction == SortIndicator::Ascending
                                                 ? SortIndicator::Descending
                                                 : SortIndicator::Ascending);
}

void ColumnSorting::updateHeadersForColumnSort(const QString& identifier) {
    OutlineView& outline = _document.outlineView();
    Dict& root = *_document.data();
    const SortIndicator direction = outline.sortDirection(identifier);
    outline.setHighlightedColumn(identifier);
    root.set(key::sortedColumn, identifier);
    const DictPtr directions = root.value(key::columnSortDirections).asDict();
    for (const QString& column : outline.columnIdentifiers()) {
        outline.showSortIndicator(column, SortIndicator::None);
        if (directions)
            directions->set(column, Value::integer(sortDirectionCode(outline.sortDirection(column))));
    }
    outline.showSortIndicator(identifier, direction);
}

void ColumnSorting::sortListByColumn(const QString& identifier) {
    const TardigoDocument::SyncingModel syncing(_document);
    OutlineView& outline = _document.outlineView();
    const std::vector<NodePtr> selected = outline.selectedItems();
    bool sorted = false;
    _document.edits().rearrange({}, [&] {
        sorted = sortChildrenByColumn(*_document.data(), identifier,
                                      sortDirectionCode(outline.sortDirection(identifier)));
    });
    if (!sorted) {
        qCWarning(lcDocument) << "no order for the column" << identifier;
        return;
    }
    outline.reloadAll();
    TardigoDocument* document = &_document;
    _document.performLater([document, selected] { document->sorting().showAndSelectItems(selected); });
    _document.countChange(TardigoDocument::ChangeKind::Done);
}

void ColumnSorting::showAndSelectItems(const std::vector<NodePtr>& items) {
    const TardigoDocument::SyncingModel syncing(_document);
    OutlineView& outline = _document.outlineView();
    if (!items.empty())
        outline.scrollItemToVisible(items.front());
    outline.selectItems(items);
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
    OutlineView& outline = _document.outlineView();
    outline.setHighlightedColumn(QString());
    _document.data()->remove(key::sortedColumn);
    for (const QString& column : outline.columnIdentifiers())
        outline.showSortIndicator(column, SortIndicator::None);
    _document.countChange(TardigoDocument::ChangeKind::Done);
}

void ColumnSorting::restoreSortState() {
    OutlineView& outline = _document.outlineView();
    const Dict& root = *_document.data();
    const DictPtr directions = root.value(key::columnSortDirections).asDict();
    for (const QString& column : outlineColumnIdentifiers()) {
        const Number* direction = directions ? directions->value(column).asNumber() : nullptr;
        outline.setSortDirection(column, direction ? sortIndicatorFromCode(direction->toInt64())
                                                   : SortIndicator::None);
    }
    const QString* sorted = root.value(key::sortedColumn).asString();
    if (sorted && outline.hasColumn(*sorted)) {
        _lastSortedColumn = *sorted;
        updateHeadersForColumnSort(*sorted);
    } else {
        _lastSortedColumn.reset();
    }
}

} // namespace tardigo
