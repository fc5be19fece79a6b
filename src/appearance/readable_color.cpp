#include "appearance/readable_color.h"

#include <algorithm>
#include <cmath>

namespace tardigo {

namespace {

double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

} // namespace

double relativeLuminance(const QColor& color) {
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

double contrastRatio(const QColor& first, const QColor& second) {
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

bool isDarkBackground(const QColor& background) {
    // Where black and white text stand out equally.
    return relativeLuminance(background) < 0.18;
}

QColor readableOn(const QColor& color, const QColor& background) {
    if (!color.isValid() || !isDarkBackground(background) ||
        contrastRatio(color, background) >= kReadableContrast)
        return color;
    const QColor hsl = color.toHsl();
    // The least lightness that reads, found by halving: contrast grows with lightness at a fixed hue.
    float dark = float(hsl.lightnessF());
    float light = 1.0f;
    for (int step = 0; step < 16; ++step) {
        const float middle = (dark + light) / 2;
        const QColor tried = QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), middle, hsl.alphaF());
        (contrastRatio(tried, background) >= kReadableContrast ? light : dark) = middle;
    }
    return QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), light, hsl.alphaF()).convertTo(color.spec());
}

} // namespace tardigo
