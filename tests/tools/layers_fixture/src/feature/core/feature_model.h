#pragma once

#include "base/base.h"

namespace fixture {
struct FeatureModel : Base {};
} // namespace fixture
