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
    if (object.isNil())
        node->remove(key);
    else
        node->set(key, object);
    _document.updateUI();
    VKselectItems(_document.outlineView(), {node});
}

void RestoringOperations::restoreRemovedChildren(const std::vector<RemovedChild>& removed) {
    _document.finishAllEditing();
    _document.outlineView().deselectAll();
    VKrestoreRemovedChildren(removed);
    _document.outlineView().reloadData();
    std::vector<NodePtr> nodes;
    for (const RemovedChild& child : removed)
        nodes.push_back(child.item.asDict());
    VKselectItems(_document.outlineView(), nodes);
    _document.updateUI();
}

void RestoringOperations::removeChildren(const std::vector<NodePtr>& nodes, const NodePtr& parent) {
    _document.finishAllEditing();
    _document.outlineView().deselectAll();
    if (const ArrayPtr children = childrenOf(*parent)) {
        std::erase_if(children->items, [&](const Value& child) {
            const DictPtr c = child.asDict();
            return std::any_of(nodes.begin(), nodes.end(), [&](const NodePtr& node) { return node == c; });
        });
    }
    _document.updateUI();
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
