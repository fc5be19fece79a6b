#pragma once

#include "shared/shared.h"

namespace fixture {
struct Middle : Shared {};
} // namespace fixture
