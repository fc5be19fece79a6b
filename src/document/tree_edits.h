#pragma once

#include "model/tree_operations.h"
#include "model/value.h"

#include <functional>
#include <optional>
#include <vector>

namespace tardigo {

class TardigoDocument;

/// Every change of the shape of a list's tree, made and announced by its document as it happens:
/// items put among a node's children, taken out, moved, and many lists changed at once (a sort, a
/// merge, a purge), so that the outline's model and whoever else follows the document hear of each.
/// Items are found and placed by identity.
class TreeEdits {
public:
    TreeEdits(const TreeEdits&) = delete;
    TreeEdits& operator=(const TreeEdits&) = delete;

    /// Puts the items among the children of parent before `position` (at their end when past it).
    void insert(const NodePtr& parent, size_t position, const std::vector<Value>& items);
    /// Takes the item out of the children of the parent it is known to stand under (`ancestors`: the
    /// nodes from the top level down to that parent), else out of wherever it stands, and appends the
    /// removal to `removed`. False when the list does not hold it.
    bool remove(const NodePtr& parent, const Dict* item, std::vector<NodePtr> ancestors,
                std::vector<RemovedChild>& removed);
    /// Moves the item from the children of `from` (wherever it stands when it is not there) to stand
    /// before anchor among the children of `to`, at their end without an anchor there.
    bool move(const NodePtr& from, const Dict* item, const NodePtr& to, const Dict* anchor);
    /// Puts removed items back under their own parents, as restoreRemovedChildren does.
    void restore(const std::vector<RemovedChild>& removed);
    /// Runs a change that reshapes the children of these nodes in any way, perhaps their own values
    /// too, and announces it as one; none: a change of the order of every list.
    void rearrange(const std::vector<NodePtr>& parents, const std::function<void()>& change);

    /// While one lives, the edits made are announced together as one rearrangement of the lists they
    /// touched, when more are to come than the outline takes one at a time; else each as it happens.
    class Batch {
    public:
        Batch(TreeEdits& edits, size_t expected);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        TreeEdits& _edits;
        bool _collects;
    };

private:
    // Only its document makes one: each document has exactly one of its parts.
    friend class TardigoDocument;
    explicit TreeEdits(TardigoDocument& document) : _document(document) {}

    bool announces() const { return _collecting == 0; }
    /// Ends a collection; the outermost announces what was touched.
    void endCollecting();
    void touch(const NodePtr& parent);
    /// The parent the item stands under and its place there: under `parent` when it is there, else
    /// wherever a walk of the tree finds it first (`ancestors` then changes to lead there).
    std::optional<std::pair<NodePtr, size_t>> find(const NodePtr& parent, const Dict* item,
                                                   std::vector<NodePtr>& ancestors) const;

    TardigoDocument& _document;
    int _collecting = 0;
    std::vector<NodePtr> _touched;
    bool _touchedEveryList = false;
};

} // namespace tardigo
