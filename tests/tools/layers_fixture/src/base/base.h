#pragma once

namespace fixture {
struct Base {};
} // namespace fixture
