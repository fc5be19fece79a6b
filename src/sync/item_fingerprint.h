#pragma once

#include "model/value.h"

#include <QByteArray>
#include <optional>

namespace tardigo {

/// A hash of all that a to-do says of an item: the keys a to-do stands for (numbers by value, as
/// they compare), its parent's uid and its place. Keys a to-do does not hold (the minder's stamps,
/// the history) do not count, so that they never make an item look changed.
QByteArray itemFingerprint(const Dict& item, const QString& parentUid, std::optional<qint64> order);

} // namespace tardigo
