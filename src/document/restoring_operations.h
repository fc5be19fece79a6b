#pragma once

#include "model/tree_operations.h"
#include "model/value.h"

#include <vector>

namespace tardigo {

class TardigoDocument;

/// The targets of every undo step of a document. Each registers its own inverse, so an undone change
/// can be redone and a redone one undone again.
class RestoringOperations {
public:
    RestoringOperations(const RestoringOperations&) = delete;
    RestoringOperations& operator=(const RestoringOperations&) = delete;

    /// Sets node[key] to object, or removes the key when object is absent; refreshes and selects the node.
    void setInDict(const NodePtr& node, const Value& object, const QString& key);
    /// Takes the items that stand where `standing` says out of the tree, then puts the `removed` ones
    /// back where they stood; refreshes, and selects those put back by the undo or redo under way. A deletion
    /// is undone with no items standing, an insertion with none removed, a move with both.
    void putBack(const std::vector<RemovedChild>& standing, const std::vector<RemovedChild>& removed);

    /// Gives each node all the content given at once, its own keys and its children, as a change that
    /// reshapes many items makes it (a merge); the outline is shown afresh, what is open and selected
    /// staying so.
    void setContents(const std::vector<NodeContent>& contents);

    /// Registers, as part of the current undo step, putting back what node[key] holds now.
    void registerSetInDict(const NodePtr& node, const QString& key);
    /// Registers putBack(standing, removed) as part of the current undo step.
    void registerPutBack(const std::vector<RemovedChild>& standing, const std::vector<RemovedChild>& removed);
    /// Registers, as part of the current undo step, giving these nodes back all they hold now.
    void registerSetContents(const std::vector<NodeContent>& contents);

private:
    // Only its document makes one: each document has exactly one of its parts.
    friend class TardigoDocument;
    explicit RestoringOperations(TardigoDocument& document) : _document(document) {}

    TardigoDocument& _document;
    quint64 _selectionReplay = 0; // the replay whose items put back are selected
};

} // namespace tardigo
