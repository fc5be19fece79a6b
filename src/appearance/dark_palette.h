#pragma once

#include <QPalette>

namespace tardigo {

/// A dark palette for the Fusion style, for desktops without a dark theme of their own.
QPalette darkPalette();

} // namespace tardigo
