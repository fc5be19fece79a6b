#pragma once

#include "model/tree_operations.h"
#include "model/value.h"

#include <vector>

namespace tardigo {

class TardigoDocument;

/// The targets of every undo step of a document. They register nothing themselves, so an undone
/// change cannot be redone.
class RestoringOperations {
public:
    RestoringOperations(const RestoringOperations&) = delete;
    RestoringOperations& operator=(const RestoringOperations&) = delete;

    /// Sets node[key] to object, or removes the key when object is nil; refreshes and selects the node.
    void setInDict(const NodePtr& node, const Value& object, const QString& key);
    /// Puts deleted items back where they stood, reloads, selects them and refreshes.
    void restoreRemovedChildren(const std::vector<RemovedChild>& removed);
    /// Removes exactly these node objects from the parent's children and refreshes.
    void removeChildren(const std::vector<NodePtr>& nodes, const NodePtr& parent);

    /// Registers, as part of the current undo step, putting back what node[key] holds now.
    void registerSetInDict(const NodePtr& node, const QString& key);
    void registerRestoreRemovedChildren(const std::vector<RemovedChild>& removed);
    void registerRemoveChildren(const std::vector<NodePtr>& nodes, const NodePtr& parent);

private:
    // Only its document makes one: each document has exactly one of its parts.
    friend class TardigoDocument;
    explicit RestoringOperations(TardigoDocument& document) : _document(document) {}

    TardigoDocument& _document;
};

} // namespace tardigo
