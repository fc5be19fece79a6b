#include "sync/removal_restore.h"

#include "model/item_walk.h"
#include "model/keys.h"
#include "model/node_operations.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <unordered_map>

namespace tardigo {

namespace {

QString uidOf(const Dict& item) {
    return stringOf(item, key::uid);
}

/// Where each item of a tree stands, by uid.
class Places {
public:
    explicit Places(const NodePtr& root) : _root(root) {
        forEachItemBelow(*root, [this](const NodePtr& item, const Dict& parent, qsizetype index) {
            _nodes[item.get()] = item;
            _byUid.insert(uidOf(*item), {item, nodeOf(&parent), size_t(index)});
        });
    }

    struct Place {
        NodePtr item;
        NodePtr parent;
        size_t index = 0;
    };
    std::optional<Place> find(const QString& uid) const {
        const auto found = _byUid.constFind(uid);
        return found == _byUid.cend() ? std::nullopt : std::optional<Place>(*found);
    }
    /// The nodes from the top level down to the node, the node included; none for the root.
    std::vector<NodePtr> chainTo(const NodePtr& node) const {
        std::vector<NodePtr> chain;
        for (NodePtr at = node; at != _root;) {
            chain.insert(chain.begin(), at);
            const std::optional<Place> place = find(uidOf(*at));
            if (!place)
                break;
            at = place->parent;
        }
        return chain;
    }

private:
    NodePtr nodeOf(const Dict* node) const {
        const auto found = _nodes.find(node);
        return found == _nodes.end() ? _root : found->second;
    }

    NodePtr _root;
    std::unordered_map<const Dict*, NodePtr> _nodes;
    QHash<QString, Place> _byUid;
};

} // namespace

RemovalRestore restoreOfRemovals(const NodePtr& before, const NodePtr& after,
                                 const QStringList& removedUids) {
    const QSet<QString> removedSet(removedUids.cbegin(), removedUids.cend());
    const Places is(after);
    QHash<QString, NodePtr> restored;            // a removed item's uid to the node put back
    QHash<QString, std::vector<NodePtr>> chains; // and to the chain down to it
    RemovalRestore restore;
    // In the order of the tree, so that each parent is back before its children come back into it.
    forEachItemBelow(*before, [&](const NodePtr& item, const Dict& parent, qsizetype index) {
        const QString uid = uidOf(*item), parentUid = &parent == before.get() ? QString() : uidOf(parent);
        NodePtr home = after;
        std::vector<NodePtr> chain;
        if (restored.contains(parentUid)) {
            home = restored.value(parentUid);
            chain = chains.value(parentUid);
        } else if (const auto place = is.find(parentUid); place && !parentUid.isEmpty()) {
            home = place->item;
            chain = is.chainTo(home);
        }
        if (removedSet.contains(uid)) {
            // The item as it was, its children to come back as they stand now.
            const NodePtr back = std::make_shared<Dict>(*item);
            back->set(key::children, Array::create());
            restore.removed.push_back({home, size_t(index), back, chain});
            chain.push_back(back);
            restored.insert(uid, back);
            chains.insert(uid, chain);
        } else if (home != after && restored.contains(parentUid)) {
            // A child the sync moved up to its removed parent's place goes back under it.
            if (const auto place = is.find(uid)) {
                restore.standing.push_back(
                    {place->parent, place->index, place->item, is.chainTo(place->parent)});
                childrenOf(*home)->items.push_back(place->item);
            }
        }
    });
    // putBack restores the last first: the first in the tree must come back first.
    std::reverse(restore.removed.begin(), restore.removed.end());
    return restore;
}

} // namespace tardigo
