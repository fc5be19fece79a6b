#pragma once

#include <QSettings>

namespace tardigo {

/// A QSettings format for a file a person can read and edit: `[General]` holds the plain values,
/// each other `[group]` one dictionary; every value is the text it was given, written as it is.
/// QSettings still provides the locking and the merging with other writers.
QSettings::Format plainIniFormat();

} // namespace tardigo
