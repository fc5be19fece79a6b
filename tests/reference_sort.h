#pragma once

#include "model/keys.h"
#include "model/node_operations.h"
#include "model/value.h"

#include <algorithm>
#include <functional>

namespace tardigo::test {

/// Orders two nodes: -1 when a sorts before b, 0 the same, 1 after.
using NodeComparator = std::function<int(const Dict& a, const Dict& b)>;

/// The plain tree sort the outline's fast sort must agree with: every level by the comparator,
/// stably, children before parents, nodes before anything else; direction -1 by the reversed
/// comparator.
inline void referenceSort(Dict& node, const NodeComparator& compare, int direction) {
    const ArrayPtr children = childrenOf(node);
    if (!children)
        return;
    for (const Value& child : children->items)
        if (const DictPtr c = child.asDict())
            referenceSort(*c, compare, direction);
    std::stable_sort(children->items.begin(), children->items.end(), [&](const Value& a, const Value& b) {
        const DictPtr da = a.asDict(), db = b.asDict();
        if (!da || !db)
            return da && !db;
        return direction == -1 ? compare(*db, *da) < 0 : compare(*da, *db) < 0;
    });
}

} // namespace tardigo::test
