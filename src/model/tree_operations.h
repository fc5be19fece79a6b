#pragma once

#include "model/value.h"

#include <functional>
#include <optional>
#include <unordered_set>
#include <vector>

namespace tardigo {

// The operations that walk the tree below a node (usually the root node).

/// How many items a node holds at every level below it (itself not counted), and how many of them
/// are complete.
struct ItemCounts {
    qint64 total = 0;
    qint64 complete = 0;
};
ItemCounts countItemsIncludingChildren(const Dict& node);

/// Appends every "category" of the subtree, the node's own first (pre-order).
void VKenumerateCategoriesInto(const Dict& node, QStringList& categories);
/// Same item: equal names and, when both have one, equal "date created".
bool VKisEqualToDictionary(const Dict& a, const Dict& b);
bool VKhasDescendentNode(const Dict& node, const Dict& target);
/// The target itself when it is in the subtree, or else the first node of the subtree (the node
/// itself included) that matches target, in pre-order.
NodePtr VKfindChildNodeIdenticalTo(const NodePtr& node, const Dict& target);
/// One removal a deletion made: the children array the item stood in, and its place there then.
struct RemovedChild {
    ArrayPtr children;
    size_t index = 0;
    Value item;
};
/// Removes that very node object wherever it lies below node; each removal is appended to `removed`,
/// when given, in the order made.
void VKdeleteItem(Dict& node, const Dict* target, std::vector<RemovedChild>* removed = nullptr);
void VKdeleteItems(Dict& node, const std::vector<NodePtr>& targets,
                   std::vector<RemovedChild>* removed = nullptr);
/// Puts every removed item back in its place, the last removal first, so that the arrays are as
/// they were before the deletion (a place past the end of an array changed since is its end).
void VKrestoreRemovedChildren(const std::vector<RemovedChild>& removed);
/// Removes every complete item, with its whole subtree.
void VKpurgeCompleted(Dict& node);
/// Strips display and bookkeeping keys for export; notes become plain text where they decode.
void VKcleanForExport(Dict& node,
                      const std::function<std::optional<QString>(const QByteArray&)>& notesPlainText);
/// Converts date objects under the user-visible time keys to stored date strings.
void VKfixupTimeStamps(Dict& node);
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
void VKfixupDuplicateNodesWithHash(Dict& node, SeenNodes& seen);

} // namespace tardigo
