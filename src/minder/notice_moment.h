#pragma once

#include "model/value.h"

#include <optional>

namespace tardigo {

// When the minder has something to tell about an item, in milliseconds since 1970 UTC. A moment may
// lie in the past: the notice is due now. None: nothing will come of the item as it stands. The
// minder's pass gives a notice exactly when its moment is no later than the pass's "now", and the
// application's timer waits for the earliest one.

/// The item's due date, while it is not complete and its past-due notice has not been given.
std::optional<qint64> dueNoticeMoment(const Dict& node);
/// When the item's reminder falls due, as things stand at `now`.
std::optional<qint64> reminderMoment(const Dict& node, qint64 now);
/// The earlier of the two.
std::optional<qint64> noticeMoment(const Dict& node, qint64 now);
/// The earlier moment of two, either of which may be none.
std::optional<qint64> earlierMoment(std::optional<qint64> a, std::optional<qint64> b);

} // namespace tardigo
