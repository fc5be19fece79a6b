#pragma once

#include "model/value.h"

namespace tardigo::bench {

/// A realistic large list: `count` items nested up to 6 levels, categories, due dates on a third,
/// notes on a fifth, 2 to 5 history entries each. Deterministic for a given seed.
NodePtr generateList(int count, unsigned seed = 1);

} // namespace tardigo::bench
