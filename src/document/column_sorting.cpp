#include "document/column_sorting.h"

#include "document/document_log.h"
#include "document/node_comparators.h"
#include "document/outline_columns.h"
#include "document/outline_view.h"
#include "document/tardigo_document.h"
#include "model/keys.h"

namespace tardigo {

void ColumnSorting::headerClicked(const QString& identifier) {
    updateDirectionOfColumnSort(identifier);
    updateHeadersForColumnSort(identifier);
    performSortByTableColumn(identifier);
    _document.setLastSortedTableColumn(identifier);
    _document.updateChangeCount(TardigoDocument::ChangeDone);
}

void ColumnSorting::updateDirectionOfColumnSort(const QString& identifier) {
    OutlineView& outline = _document.outlineView();
    const int direction = outline.headerTag(identifier);
    if (direction == 0)
        outline.setHeaderTag(identifier, 1);
    else if (_document.lastSortedTableColumn() == identifier)
        outline.setHeaderTag(identifier, -direction);
}

void ColumnSorting::updateHeadersForColumnSort(const QString& identifier) {
    OutlineView& outline = _document.outlineView();
    Dict& root = *_document.data();
    const int direction = outline.headerTag(identifier);
    outline.setHighlightedTableColumn(identifier);
    root.set(key::sortedColumn, identifier);
    const DictPtr directions = root.value(key::columnSortDirections).asDict();
    for (const QString& column : outline.tableColumnIdentifiers()) {
        outline.setIndicatorImage(column, SortIndicator::None);
        if (directions)
            directions->set(column, Value::integer(outline.headerTag(column)));
    }
    outline.setIndicatorImage(identifier, direction == 1    ? SortIndicator::Ascending
                                          : direction == -1 ? SortIndicator::Descending
                                                            : SortIndicator::None);
}

void ColumnSorting::performSortByTableColumn(const QString& identifier) {
    _document.setSyncingModel(true);
    OutlineView& outline = _document.outlineView();
    const std::vector<NodePtr> selected = VKallSelectedItems(outline);
    if (!sortChildrenByColumn(*_document.data(), identifier, outline.headerTag(identifier))) {
        qCWarning(lcDocument) << "no order for the column" << identifier;
        _document.setSyncingModel(false);
        return;
    }
    _document.outlineViewReload();
    TardigoDocument* document = &_document;
    _document.performLater([document, selected] { document->selectItemsInOutlineView(selected); });
    _document.updateChangeCount(TardigoDocument::ChangeDone);
    _document.setSyncingModel(false);
}

void ColumnSorting::selectItemsInOutlineView(const std::vector<NodePtr>& items) {
    _document.setSyncingModel(true);
    OutlineView& outline = _document.outlineView();
    if (!items.empty())
        outline.scrollRowToVisible(outline.rowForItem(items.front().get()));
    VKselectItems(outline, items);
    _document.setSyncingModel(false);
}

void ColumnSorting::sortUpdate() {
    _document.finishAllEditing();
    if (const std::optional<QString> column = _document.lastSortedTableColumn())
        performSortByTableColumn(*column);
    _document.updateChangeCount(TardigoDocument::ChangeDone);
    // An edit that deferred this sort left the model marked as syncing until now.
    _document.setSyncingModel(false);
}

void ColumnSorting::endColumnSorting() {
    _document.setLastSortedTableColumn(std::nullopt);
    OutlineView& outline = _document.outlineView();
    outline.setHighlightedTableColumn(QString());
    _document.data()->remove(key::sortedColumn);
    for (const QString& column : outline.tableColumnIdentifiers())
        outline.setIndicatorImage(column, SortIndicator::None);
    _document.updateChangeCount(TardigoDocument::ChangeDone);
}

void ColumnSorting::restoreSortState() {
    OutlineView& outline = _document.outlineView();
    const Dict& root = *_document.data();
    const DictPtr directions = root.value(key::columnSortDirections).asDict();
    for (const QString& column : outlineColumnIdentifiers()) {
        const Number* direction = directions ? directions->value(column).asNumber() : nullptr;
        outline.setHeaderTag(column, direction ? int(direction->toInt64()) : 0);
    }
    const QString* sorted = root.value(key::sortedColumn).asString();
    if (sorted && outline.containsTableColumn(*sorted)) {
        _document.setLastSortedTableColumn(*sorted);
        updateHeadersForColumnSort(*sorted);
    } else {
        _document.setLastSortedTableColumn(std::nullopt);
    }
}

} // namespace tardigo
