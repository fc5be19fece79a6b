#pragma once

#include "model/value.h"

#include <functional>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tardigo {

// The operations that walk the tree below a node (usually the root node).

/// How many items a node holds at every level below it (itself not counted), and how many of them
/// are complete.
struct ItemCounts {
    qint64 total = 0;
    qint64 complete = 0;
    ItemCounts& operator+=(const ItemCounts& other) {
        total += other.total;
        complete += other.complete;
        return *this;
    }
    ItemCounts operator-() const { return {-total, -complete}; }
};
ItemCounts countItemsIncludingChildren(const Dict& node);
/// The same with the item itself counted.
ItemCounts countItemAndChildren(const Dict& item);

/// The most levels of items a list may nest: a list file nests two archived objects for each level
/// and four more inside an item, and the reader refuses files nested more than 1000 objects deep.
constexpr int kMostItemLevels = 450;
/// How many levels of items the subtree of an item holds, the item itself counted as one.
int itemLevels(const Dict& item);

/// The child stored after `child` among the parent's children, by identity; null when it is the last
/// one or not there.
NodePtr childAfter(const Dict& parent, const Dict* child);

/// Appends every "category" of the subtree, the node's own first (pre-order).
void collectCategories(const Dict& node, QStringList& categories);
/// Same item: equal names and, when both have one, equal "date created".
bool isSameItem(const Dict& a, const Dict& b);
bool hasDescendant(const Dict& node, const Dict& target);
/// The target itself when it is in the subtree, or else the first node of the subtree (the node
/// itself included) that matches target, in pre-order.
NodePtr findIdenticalChild(const NodePtr& node, const Dict& target);
/// The nodes an item stands under, from the top level down to its parent, walking depth first
/// the lists `listBelow` gives (asked with null for the top level; a null list is not walked);
/// empty for a top-level item or one that is not found.
std::vector<NodePtr> ancestorsInTree(const Dict* item,
                                     const std::function<ArrayPtr(const NodePtr&)>& listBelow);
/// The same for several items in one walk, which ends once all are found; an item not found has
/// no entry.
std::unordered_map<const Dict*, std::vector<NodePtr>>
ancestorsInTree(const std::unordered_set<const Dict*>& items,
                const std::function<ArrayPtr(const NodePtr&)>& listBelow);
/// The same through every item's own children below root.
std::unordered_map<const Dict*, std::vector<NodePtr>>
ancestorsInTree(const std::unordered_set<const Dict*>& items, const Dict& root);
/// One removal a deletion made: the node whose children held the item, and the item's place there
/// then. The node, not its children array: a later change may give it a new array.
struct RemovedChild {
    NodePtr parent;
    size_t index = 0;
    Value item;
    /// The nodes from the top level down to the parent, as they stood: while that chain holds, the
    /// parent is still in the tree without a search of the whole tree.
    std::vector<NodePtr> ancestors;
};
/// A node's whole content at once, its own keys and its children, as a change that reshapes many
/// items sets it (and its undo sets it back).
struct NodeContent {
    NodePtr node;
    std::vector<std::pair<QString, Value>> entries;
};
/// Removes those very node objects wherever they lie below node, in one walk; each removal is
/// appended to `removed`, when given, in the order made.
void deleteItemsFromTree(const NodePtr& node, const std::vector<NodePtr>& targets,
                         std::vector<RemovedChild>* removed = nullptr);
void deleteItemFromTree(const NodePtr& node, const Dict* target,
                        std::vector<RemovedChild>* removed = nullptr);
/// Removes the item from the children of the parent it is known to stand under, without a walk of
/// the tree; `ancestors` are the nodes from the top level down to that parent. False when the item
/// does not stand there.
bool removeChild(const NodePtr& parent, const Dict* item, std::vector<NodePtr> ancestors,
                 std::vector<RemovedChild>& removed);
/// Puts every removed item back under its own parent at its place, the last removal first, so that
/// the arrays are as they were before the deletion (a place past the end of an array changed since
/// is its end). An item whose parent has left the tree comes back at the end of root's top level.
/// `put` places each item in its home's children, which have an array by then (by default, inserts
/// it): a document announces each.
void restoreRemovedChildren(
    const NodePtr& root, const std::vector<RemovedChild>& removed,
    const std::function<void(const NodePtr& home, size_t place, const Value& item)>& put = {});
/// Removes every complete item, with its whole subtree.
void purgeCompleted(Dict& node);
/// Strips display and bookkeeping keys for export; notes become plain text where they decode.
void cleanForExport(Dict& node,
                    const std::function<std::optional<QString>(const QByteArray&)>& notesPlainText);
/// Converts date objects under the user-visible time keys to stored date strings.
void fixTimeStamps(Dict& node);
/// The nodes a duplicate repair has visited, by identity: an archive keeps object identity, so a node
/// object met twice in one tree is what the repair exists for, while distinct nodes stay however alike.
/// Nodes are held by address: they must outlive the set, which is why removed repeats go to keep().
class SeenNodes {
public:
    /// Remembers the node object; answers whether it was not seen before.
    bool add(const Dict& node) { return _nodes.insert(&node).second; }
    /// Keeps a node that left the tree alive for as long as the set holds its address.
    void keep(NodePtr removed) { _removed.push_back(std::move(removed)); }

private:
    std::unordered_set<const Dict*> _nodes;
    std::vector<NodePtr> _removed;
};

/// Removes every repeat of a node object seen earlier in the walk; `seen` starts empty at the root.
void fixDuplicateNodes(Dict& node, SeenNodes& seen);

} // namespace tardigo
