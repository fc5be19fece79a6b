#pragma once

#include "model/value.h"

#include <QByteArray>
#include <QString>

namespace tardigo {

/// The uid of a conflict copy keeping this version of the item: the same each time the same
/// conflict is met, so that a merge interrupted after saving the copy makes no second one.
QString conflictCopyUid(const QString& uid, const QByteArray& versionHash);

/// A copy of one version of an item changed on both sides, to stand beside the other: named
/// "<name> (conflict copy)", without the children (they stay with the item), under `copyUid` (none
/// when empty).
NodePtr conflictCopy(const Dict& version, const QString& copyUid);

} // namespace tardigo
