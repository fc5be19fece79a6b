#pragma once

#include "model/value.h"

#include <memory>
#include <span>
#include <vector>

namespace tardigo {

/// A children list that a narrower search took rows from: the children the search showed before,
/// in the tree's order, each with whether it still shows it. The outline matches them with the rows
/// it shows, in order, rather than asking the search about each row.
struct NarrowedList {
    struct Child {
        const Dict* item;
        bool stays;
    };
    NodePtr owner; // null: the top level
    std::span<const Child> shownBefore;
    /// What shownBefore lies in: the children of every list the search narrowed, in one block.
    std::shared_ptr<const std::vector<Child>> children;
};

/// Adds the owner of each list, in turn: what a caller reloads that does not drop rows one by one.
inline void appendOwners(const std::vector<NarrowedList>& lists, std::vector<NodePtr>& owners) {
    for (const NarrowedList& list : lists)
        owners.push_back(list.owner);
}

} // namespace tardigo
