#pragma once

#include "model/value.h"

#include <QList>

#include <functional>

namespace tardigo {

/// Calls visit for every item below `node` (not the node itself) in pre-order, with the item's
/// parent and its place among the parent's children. Without recursion: a list may nest deeper
/// than the stack allows. The tree must not change during the walk.
void forEachItemBelow(
    const Dict& node,
    const std::function<void(const NodePtr& item, const Dict& parent, qsizetype index)>& visit);

/// The same with the item's place: its index among its siblings at each level, from the top.
void forEachItemWithPlace(const Dict& node,
                          const std::function<void(const NodePtr& item, const QList<int>& place)>& visit);

} // namespace tardigo
