#pragma once

#include "model/value.h"

#include <QStringList>

namespace tardigo {

/// The choices of a list's category editors: the list's own categories plus `global` (the global
/// list, or nothing where categories are local to the list); each distinct non-empty string once,
/// sorted case-insensitively.
QStringList categoryNames(const Dict& root, const QStringList& global);

} // namespace tardigo
