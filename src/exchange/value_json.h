#pragma once

#include "model/value.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <optional>

namespace tardigo {

class JsonWriter;

/// A value as JSON: strings as strings; numbers as {"$number": n, "$type": "c"} with their
/// objCType (integers exact); dates as {"$date": "2003-05-17T12:03:22.000Z"}; calendar dates as
/// {"$calendarDate": stored date string, "$timeZone": name, "$format": format}; time zones as
/// {"$timeZone": name} (with "$data" when they carry zone data); data as {"$data": base64};
/// colours as {"$color": {"space": n, "components": [...]}} or, named, {"$color": {"space": 6,
/// "catalog": .., "name": .., "fallback": colour or null}}; NSNull and nil as null; arrays as
/// arrays; dictionaries as objects in stored key order.
QByteArray valueToJson(const Value& value, bool pretty);
/// The same, written to the device as it goes; false when the device refused any of it.
bool valueToJson(const Value& value, bool pretty, QIODevice& device);
/// Writes the value into a JSON text being built.
void writeValueJson(JsonWriter& json, const Value& value);
/// Reads that format back. Bare JSON numbers become integers ('i', or 'q' beyond 32 bits) or
/// doubles, true and false booleans, null NSNull; an object is a marker only when it has exactly
/// a marker's keys. On failure `error` (when given) says what is wrong.
std::optional<Value> valueFromJson(const QByteArray& json, QString* error);

} // namespace tardigo
