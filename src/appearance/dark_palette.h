#pragma once

#include <QPalette>

namespace tardigo {

/// A dark palette for the Fusion style, for desktops without a dark theme of their own.
QPalette darkPalette();
/// Shows every window in the dark palette, in the Fusion style it is made for, or back in the style
/// and palette the application started with.
void useDarkPalette(bool dark);

} // namespace tardigo
