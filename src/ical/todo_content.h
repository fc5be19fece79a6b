#pragma once

#include "model/value.h"

#include <optional>

namespace tardigo {

/// What a to-do says of an item: the item keys a to-do stands for, and the item's place in the tree.
struct TodoContent {
    NodePtr item = Dict::create(); // only the mapped keys (see todoMappedKeys())
    QString parentUid;             // the parent item's uid; empty at the top level
    std::optional<qint64> order;   // the place among its siblings; none: after those with one
};

} // namespace tardigo
