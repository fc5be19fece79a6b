#include "document/item_transfer.h"

#include "document/item_mime_data.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/core_log.h"
#include "model/tree_operations.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"

#include <QCoreApplication>
#include <QMimeData>

#include <algorithm>
#include <atomic>

namespace tardigo {

namespace {

/// A name for each list of this run, told apart from those of other runs.
QString newSourceName() {
    static std::atomic<quint64> lists{0};
    return QStringLiteral("%1/%2").arg(QCoreApplication::applicationPid()).arg(++lists);
}

} // namespace

ItemTransfer::ItemTransfer(TardigoDocument& document) : _document(document), _source(newSourceName()) {}

std::unique_ptr<QMimeData> ItemTransfer::dragData(const std::vector<NodePtr>& items) {
    _draggedItems = _document.shaping().withoutNestedItems(items);
    return mimeDataForItems(_draggedItems, _source);
}

bool ItemTransfer::canTake(const QMimeData& data) {
    return data.hasFormat(kItemsMimeType) || data.hasText();
}

std::optional<std::vector<NodePtr>> ItemTransfer::newItemsFrom(const QMimeData& data) const {
    if (data.hasFormat(kItemsMimeType))
        return copiedItems(data);
    if (data.hasText()) {
        std::vector<NodePtr> items = itemsFromText(data.text());
        if (!items.empty())
            return items;
    }
    return std::nullopt;
}

void ItemTransfer::endSorting() {
    if (_document.sorting().lastSortedColumn())
        _document.sorting().endColumnSorting();
}

bool ItemTransfer::acceptDrop(const QMimeData& data, const NodePtr& item, int childIndex) {
    if (!canTake(data)) {
        qCWarning(lcDocument).noquote() << data.formats().join(QStringLiteral(", "));
        return false;
    }
    const bool fromHere = data.hasFormat(kItemsMimeType) && !_draggedItems.empty() &&
                          data.data(kItemsSourceMimeType) == _source.toUtf8();
    const std::vector<NodePtr> shown = _document.outlineModel().shownChildren(item.get());
    const auto isDragged = [&](const NodePtr& child) {
        return fromHere &&
               std::find(_draggedItems.begin(), _draggedItems.end(), child) != _draggedItems.end();
    };
    // The items go before the shown child at the index; a moved child is no place to go before.
    NodePtr anchor;
    for (size_t i = childIndex < 0 ? shown.size() : size_t(childIndex); i < shown.size() && !anchor; ++i)
        if (!isDragged(shown[i]))
            anchor = shown[i];
    UndoStack& undo = _document.undoStack();
    if (fromHere) {
        undo.setUndoText(QCoreApplication::translate("ItemTransfer", "Move"));
        if (!_document.shaping().moveItems(_draggedItems, item, anchor))
            return false;
        _document.selection().clearSelection();
    } else {
        const std::optional<std::vector<NodePtr>> items = newItemsFrom(data);
        undo.setUndoText(QCoreApplication::translate("ItemTransfer", "Drop"));
        if (!items || !_document.shaping().insertItems(*items, item, anchor))
            return false;
        _document.setSearchAsideFor(*items);
        _document.selection().selectItems(*items);
    }
    endSorting();
    return true;
}

std::unique_ptr<QMimeData> ItemTransfer::copyItems() const {
    const std::vector<NodePtr> items =
        _document.shaping().withoutNestedItems(_document.selection().selectedItems());
    return items.empty() ? nullptr : mimeDataForItems(items, _source);
}

std::unique_ptr<QMimeData> ItemTransfer::cutItems() {
    std::unique_ptr<QMimeData> data = copyItems();
    if (!data)
        return nullptr;
    _document.itemCommands().deleteItem();
    _document.undoStack().setUndoText(QCoreApplication::translate("ItemTransfer", "Cut"));
    return data;
}

bool ItemTransfer::pasteItems(const QMimeData& data) {
    const std::optional<std::vector<NodePtr>> items = newItemsFrom(data);
    if (!items)
        return false;
    const NodePtr selected = _document.selection().lastSelectedItem();
    const std::vector<NodePtr> ancestors = _document.outlineModel().ancestorsOf(selected.get());
    const NodePtr parent = ancestors.empty() ? _document.data() : ancestors.back();
    _document.undoStack().setUndoText(QCoreApplication::translate("ItemTransfer", "Paste"));
    if (!_document.shaping().insertItems(*items, parent,
                                         selected ? childAfter(*parent, selected.get()) : nullptr))
        return false;
    _document.setSearchAsideFor(*items);
    _document.revealItems(*items);
    endSorting();
    return true;
}

} // namespace tardigo
