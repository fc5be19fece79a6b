#pragma once

#include "model/value.h"

#include <QByteArray>

namespace tardigo {

/// The value as the platform's XML property list, version 1.0. Kinds a property list cannot hold
/// (null, time zones, colours) and containers that contain themselves are left out, each with a
/// log line; characters XML forbids become U+FFFD.
QByteArray xmlPropertyList(const Value& root);

} // namespace tardigo
