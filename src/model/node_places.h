#pragma once

#include "model/value.h"

#include <unordered_map>

namespace tardigo {

/// Where each node of a tree stands (its parent and its place among the parent's children), so that
/// a node is found in the tree by its address in steps as many as it lies deep, not by a search of
/// the whole tree. Every answer is checked against the tree as it is, from the root down; when the
/// tree has changed since the places were learnt, they are learnt again.
class NodePlaces {
public:
    /// The node at that address in the tree under root, as the tree holds it; null when none there is.
    NodePtr find(const NodePtr& root, const Dict* node);

private:
    struct Place {
        const Dict* parent;
        size_t index;
    };

    void learn(const NodePtr& root);
    /// The node reached from the root through the places learnt; null when the tree differs.
    NodePtr follow(const NodePtr& root, const Dict* node) const;

    const Dict* _root = nullptr;
    std::unordered_map<const Dict*, Place> _places;
};

} // namespace tardigo
