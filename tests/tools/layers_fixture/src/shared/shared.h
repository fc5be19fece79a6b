#pragma once

#include "base/base.h"

namespace fixture {
struct Shared : Base {};
} // namespace fixture
