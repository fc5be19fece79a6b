#pragma once

#include "model/tree_operations.h"
#include "model/value.h"

#include <functional>
#include <vector>

namespace tardigo {

class TardigoDocument;

/// Rearranging the tree: the keyboard's indent, outdent and moves within a parent, new child items,
/// and the moves and insertions that drops and pastes make. Each is one undoable step; items are
/// found and placed by identity, since two equal items may stand side by side.
class TreeShaping {
public:
    TreeShaping(const TreeShaping&) = delete;
    TreeShaping& operator=(const TreeShaping&) = delete;

    /// Each selected item becomes the last child of the shown sibling before it that is not selected.
    void indentItems();
    /// Each selected item moves out of its parent, to stand right after it.
    void outdentItems();
    /// The selected items trade places with the shown sibling before, or after, them.
    void moveItemsUp();
    void moveItemsDown();
    /// A new item as the last child of the selected item (at the top level when none is selected),
    /// its name open for editing.
    void newChildItem();

    /// Moves the items, with their subtrees, to stand in order before `anchor` among the children of
    /// parent (null: the top level), or at the end when anchor is null. Refused, changing nothing,
    /// when parent is one of the items or lies inside one, or when the list would nest too deep.
    bool moveItems(const std::vector<NodePtr>& items, const NodePtr& parent, const NodePtr& anchor);
    /// Inserts new items the same way.
    bool insertItems(const std::vector<NodePtr>& items, const NodePtr& parent, const NodePtr& anchor);

    /// The shown items without those that stand inside another of them, in the same order.
    std::vector<NodePtr> withoutNestedItems(const std::vector<NodePtr>& items) const;

private:
    // Only its document makes one: each document has exactly one of its parts.
    friend class TardigoDocument;
    explicit TreeShaping(TardigoDocument& document) : _document(document) {}

    /// The parent a shown item stands under: the root for a top-level item.
    NodePtr parentOf(const NodePtr& item) const;
    /// The nodes from the top level down to parent itself; empty for the root.
    std::vector<NodePtr> chainTo(const NodePtr& parent) const;
    /// Whether items can go under parent without nesting deeper than a list may.
    bool fitsUnder(const std::vector<NodePtr>& items, const std::vector<NodePtr>& chain) const;
    /// Puts the items in order before anchor among the parent's children (at the end without one)
    /// and answers where they stand; `chain` leads from the top level down to parent.
    std::vector<RemovedChild> place(const std::vector<NodePtr>& items, const NodePtr& parent,
                                    const NodePtr& anchor, const std::vector<NodePtr>& chain);
    /// Where each item stands (under the last of its ancestors, else wherever it is), as taking all of
    /// them out one after the other notes it: what undoing their move puts back.
    std::vector<RemovedChild> placesAsRemoved(const std::vector<NodePtr>& items,
                                              const std::vector<std::vector<NodePtr>>& ancestors) const;
    /// Runs a rearrangement of the selection as one step under the action name; the moved items stay
    /// selected.
    void shapeSelection(const char* actionName,
                        const std::function<void(const std::vector<NodePtr>&)>& shape);
    /// The selected items moved one place within their parents, runs of selected siblings together.
    void moveWithinParents(const char* actionName, bool up);

    TardigoDocument& _document;
};

} // namespace tardigo
