#pragma once

#include "feature/core/feature_model.h"
#include "middle/middle.h"

namespace fixture {
struct FeatureWindow : Middle {
    FeatureModel model;
};
} // namespace fixture
