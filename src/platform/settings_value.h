#pragma once

#include "model/value.h"

#include <QJsonValue>

namespace tardigo {

/// Preferences are kept as plain JSON: booleans, integers, reals, strings, arrays and objects.
/// Data travels as {"$data": base64}; kinds a preference never holds are written as null.
QJsonValue settingsJsonFromValue(const Value& value);
Value valueFromSettingsJson(const QJsonValue& json);

} // namespace tardigo
