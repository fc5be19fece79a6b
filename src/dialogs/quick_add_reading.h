#pragma once

#include <QString>

namespace tardigo {

/// How a quick-add line reads, shown under it as it is typed: the item's name, category and due
/// date, or what it lacks; `whenEmpty` is the hint for an empty line.
QString quickAddReading(const QString& line, const QString& whenEmpty);

} // namespace tardigo
