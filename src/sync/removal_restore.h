#pragma once

#include "model/tree_operations.h"
#include "model/value.h"

#include <QStringList>

#include <vector>

namespace tardigo {

/// What puts back the items a sync removed from a list, as RestoringOperations::putBack takes it.
struct RemovalRestore {
    std::vector<RemovedChild> standing; // their children, which the sync moved up to their places
    std::vector<RemovedChild> removed;  // the removed items, with those children back under them
};

/// The restore of the items (by uid) that a sync removed from `before`, into `after`, the list as
/// it was read again after the sync: each comes back under its parent at its place, a removed item
/// inside another removed one inside it again.
RemovalRestore restoreOfRemovals(const NodePtr& before, const NodePtr& after, const QStringList& removedUids);

} // namespace tardigo
