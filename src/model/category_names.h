#pragma once

#include "model/value.h"

#include <QStringList>

namespace tardigo {

/// The choices of a list's category editors: the list's own categories, plus the global list unless
/// `localOnly`; each distinct non-empty string once, sorted case-insensitively.
QStringList categoryNames(const Dict& root, bool localOnly);
/// Merges the list's categories into the global list preference.
void categoryNamesEnumerateGlobally(const Dict& root);

} // namespace tardigo
