#include "document/restoring_operations.h"

#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/outline_selection.h"

#include <algorithm>
#include <limits>

namespace tardigo {

void RestoringOperations::setInDict(const NodePtr& node, const Value& object, const QString& key) {
    _document.finishAllEditing();
    registerSetInDict(node, key);
    const bool wasCompleted = isCompleted(*node);
    if (object.isNil())
        node->remove(key);
    else
        node->set(key, object);
    _document.refreshItem(node, key, wasCompleted);
    _document.revealItems({node});
}

void RestoringOperations::putBack(const std::vector<RemovedChild>& standing,
                                  const std::vector<RemovedChild>& removed) {
    _document.finishAllEditing();
    ItemCounts delta;
    std::vector<RemovedChild> taken;
    std::vector<NodePtr> nodes;
    {
        const TardigoDocument::SyncingModel syncing(_document);
        // Items that leave one place for another (a move undone or redone) keep their rows when the
        // whole step is told as one.
        const bool moves = std::any_of(standing.begin(), standing.end(), [&](const RemovedChild& place) {
            return std::any_of(removed.begin(), removed.end(), [&](const RemovedChild& back) {
                return back.item.dictAddress() == place.item.dictAddress();
            });
        });
        TreeEdits& edits = _document.edits();
        const TreeEdits::Batch batch(edits, moves ? std::numeric_limits<size_t>::max()
                                                  : standing.size() + removed.size());
        for (const RemovedChild& child : standing) {
            const DictPtr item = child.item.asDict();
            if (!item)
                continue;
            // Counted as it goes, so that an item taken from inside another one is not counted twice.
            const ItemCounts count = countItemAndChildren(*item);
            if (edits.remove(child.parent, item.get(), child.ancestors, taken))
                delta += -count;
        }
        for (const RemovedChild& child : removed) {
            // Counted before they go back: an item removed from inside another would count twice after.
            if (const DictPtr item = child.item.asDict()) {
                delta += countItemAndChildren(*item);
                nodes.push_back(item);
            }
        }
        edits.restore(removed);
    }
    registerPutBack(removed, taken);
    _document.refresh(delta);
    // The items a step puts back are what is selected after it: those of a step made of several
    // moves all are, and undoing a deletion selects the items it brings back, not the row that
    // followed them.
    const quint64 replay = _document.undoStack().replays();
    std::vector<NodePtr> selection;
    if (replay == _selectionReplay)
        selection = _document.selection().selectedItems();
    _selectionReplay = replay;
    selection.insert(selection.end(), nodes.begin(), nodes.end());
    _document.revealItems(selection);
    _document.updateDisplay();
}

void RestoringOperations::setContents(const std::vector<NodeContent>& contents) {
    _document.finishAllEditing();
    registerSetContents(contents);
    std::vector<NodePtr> nodes;
    for (const NodeContent& content : contents)
        nodes.push_back(content.node);
    _document.edits().rearrange(nodes, [&contents] {
        for (const NodeContent& content : contents)
            content.node->entries = content.entries;
    });
    _document.updateUI();
}

void RestoringOperations::registerSetInDict(const NodePtr& node, const QString& key) {
    emit _document.itemChanging(node);
    TardigoDocument* document = &_document;
    _document.undoStack().addUndoAction(
        [document, node, old = node->value(key), key] { document->restoring().setInDict(node, old, key); });
}

void RestoringOperations::registerPutBack(const std::vector<RemovedChild>& standing,
                                          const std::vector<RemovedChild>& removed) {
    std::vector<NodePtr> placed;
    for (const RemovedChild& child : standing)
        if (const DictPtr item = child.item.asDict())
            placed.push_back(item);
    if (!placed.empty())
        emit _document.itemsPlaced(placed);
    TardigoDocument* document = &_document;
    _document.undoStack().addUndoAction(
        [document, standing, removed] { document->restoring().putBack(standing, removed); });
}

void RestoringOperations::registerSetContents(const std::vector<NodeContent>& contents) {
    std::vector<NodeContent> before;
    before.reserve(contents.size());
    for (const NodeContent& content : contents)
        before.push_back({content.node, content.node->entries});
    TardigoDocument* document = &_document;
    _document.undoStack().addUndoAction(
        [document, before = std::move(before)] { document->restoring().setContents(before); });
}

} // namespace tardigo
