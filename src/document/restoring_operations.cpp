#include "document/restoring_operations.h"

#include "document/outline_view.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/keys.h"
#include "model/node_operations.h"

#include <algorithm>

namespace tardigo {

void RestoringOperations::setInDict(const NodePtr& node, const Value& object, const QString& key) {
    _document.finishAllEditing();
    const bool wasCompleted = VKisCompleted(*node);
    if (object.isNil())
        node->remove(key);
    else
        node->set(key, object);
    _document.updateUIForItem(node, key, wasCompleted);
    VKselectItems(_document.outlineView(), {node});
}

void RestoringOperations::restoreRemovedChildren(const std::vector<RemovedChild>& removed) {
    _document.finishAllEditing();
    _document.outlineView().deselectAll();
    // Counted before they go back: an item removed from inside another would count twice after.
    ItemCounts restored;
    std::vector<NodePtr> parents{_document.data()}; // an item whose parent left comes back there
    std::vector<NodePtr> nodes;
    for (const RemovedChild& child : removed) {
        if (const DictPtr item = child.item.asDict()) {
            restored += countItemAndChildren(*item);
            nodes.push_back(item);
        }
        parents.push_back(child.parent);
    }
    VKrestoreRemovedChildren(*_document.data(), removed);
    _document.updateUIForChildrenOf(parents, restored);
    VKselectItems(_document.outlineView(), nodes);
    _document.updateUIForChildrenOf({}, {});
}

void RestoringOperations::removeChildren(const std::vector<NodePtr>& nodes, const NodePtr& parent) {
    _document.finishAllEditing();
    _document.outlineView().deselectAll();
    ItemCounts removed;
    if (const ArrayPtr children = childrenOf(*parent)) {
        std::erase_if(children->items, [&](const Value& child) {
            const DictPtr c = child.asDict();
            const bool goes =
                c && std::any_of(nodes.begin(), nodes.end(), [&](const NodePtr& node) { return node == c; });
            if (goes)
                removed += countItemAndChildren(*c);
            return goes;
        });
    }
    _document.updateUIForChildrenOf({parent}, -removed);
}

void RestoringOperations::registerSetInDict(const NodePtr& node, const QString& key) {
    TardigoDocument* document = &_document;
    _document.undoManager().registerUndo(document, [document, node, old = node->value(key), key] {
        document->restoring().setInDict(node, old, key);
    });
}

void RestoringOperations::registerRestoreRemovedChildren(const std::vector<RemovedChild>& removed) {
    TardigoDocument* document = &_document;
    _document.undoManager().registerUndo(
        document, [document, removed] { document->restoring().restoreRemovedChildren(removed); });
}

void RestoringOperations::registerRemoveChildren(const std::vector<NodePtr>& nodes, const NodePtr& parent) {
    TardigoDocument* document = &_document;
    _document.undoManager().registerUndo(
        document, [document, nodes, parent] { document->restoring().removeChildren(nodes, parent); });
}

} // namespace tardigo
