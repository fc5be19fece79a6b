#include "model/node_places.h"

#include "model/node_operations.h"

#include <vector>

namespace tardigo {

NodePtr NodePlaces::find(const NodePtr& root, const Dict* node) {
    if (!root || !node)
        return nullptr;
    if (_root != root.get())
        learn(root);
    if (NodePtr found = follow(root, node))
        return found;
    // The tree changed since its places were learnt, or the node is not in it.
    learn(root);
    return follow(root, node);
}

void NodePlaces::learn(const NodePtr& root) {
    _root = root.get();
    _places.clear();
    // Depth first without recursion; a node reached twice keeps its first place.
    std::vector<const Dict*> pending{root.get()};
    while (!pending.empty()) {
        const Dict* parent = pending.back();
        pending.pop_back();
        const ArrayPtr children = childrenOf(*parent);
        if (!children)
            continue;
        for (size_t index = 0; index < children->items.size(); ++index) {
            const Dict* child = children->items[index].dictAddress();
            if (child && child != _root && _places.try_emplace(child, Place{parent, index}).second)
                pending.push_back(child);
        }
    }
}

NodePtr NodePlaces::follow(const NodePtr& root, const Dict* node) const {
    // Up through the places learnt to the root, then down through the tree as it stands now.
    std::vector<std::pair<const Dict*, size_t>> way;
    for (const Dict* at = node; at != root.get();) {
        const auto place = _places.find(at);
        if (place == _places.end() || way.size() > _places.size())
            return nullptr;
        way.emplace_back(at, place->second.index);
        at = place->second.parent;
    }
    NodePtr at = root;
    for (auto step = way.rbegin(); step != way.rend(); ++step) {
        const ArrayPtr children = childrenOf(*at);
        if (!children || step->second >= children->items.size() ||
            children->items[step->second].dictAddress() != step->first)
            return nullptr;
        at = children->items[step->second].asDict();
    }
    return at;
}

} // namespace tardigo
