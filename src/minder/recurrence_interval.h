#pragma once

#include "model/item_codes.h"

namespace tardigo {

/// The amount of the unit in seconds; any other unit code gives 0.
double secondsIntervalWith(float amount, qint64 units);

} // namespace tardigo
