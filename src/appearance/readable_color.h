#pragma once

#include <QColor>

namespace tardigo {

/// The contrast text needs against its background to stay readable (WCAG's for body text).
constexpr double kReadableContrast = 4.5;

/// A colour's relative luminance, 0 for black to 1 for white, as WCAG defines it.
double relativeLuminance(const QColor& color);
/// How far two colours stand apart, from 1 (the same luminance) to 21 (black on white).
double contrastRatio(const QColor& first, const QColor& second);
/// Whether text on the background is light on dark.
bool isDarkBackground(const QColor& background);

/// The colour text of this colour is shown in over the background: on a dark background a colour
/// too dark to read is lightened, hue and saturation kept, until it stands out by kReadableContrast;
/// on a light background, and when readable already, the colour itself. Only for showing: what is
/// stored keeps the colour chosen.
QColor readableOn(const QColor& color, const QColor& background);

} // namespace tardigo
