#pragma once

#include "model/value.h"

namespace tardigo::cli {

/// The list as text: "N/M outstanding", then one item a line, indented two spaces a level:
/// completion as a whole percentage, name, [category], due date, repeat period. Control characters
/// in what the list holds are escaped.
QString outlineText(const Dict& root);

} // namespace tardigo::cli
