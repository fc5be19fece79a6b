#pragma once

#include <QString>

namespace tardigo {

/// The user-visible text for a key of the string table; the key itself where no text exists.
QString localized(const QString& key);

} // namespace tardigo
