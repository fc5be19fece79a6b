#pragma once

#include "model/value.h"

#include <QString>

#include <map>

namespace tardigo {

/// The preferences of a settings file written by earlier builds: an INI file whose every value is
/// JSON text (data as {"$data": base64}). Unreadable values are left out, with a log line.
std::map<QString, Value> readLegacySettings(const QString& path);

} // namespace tardigo
