#include "archive/color_value.h"

#include "archive/archive_codec.h"
#include "model/core_log.h"

#include <algorithm>
#include <cmath>

namespace tardigo {

namespace {

// A hostile archive could chain named colours; real ones have one fallback.
constexpr int kMaxFallbacks = 8;

float unit(float v) {
    return std::isnan(v) ? 0.0f : std::clamp(v, 0.0f, 1.0f);
}

std::optional<Rgba> componentsToRgba(const Color& color) {
    const std::vector<float>& c = color.components;
    switch (color.space) {
    case Color::CalibratedRGB:
    case Color::DeviceRGB:
        if (c.size() >= 4)
            return Rgba{unit(c[0]), unit(c[1]), unit(c[2]), unit(c[3])};
        break;
    case Color::CalibratedWhite:
    case Color::DeviceWhite:
        if (c.size() >= 2)
            return Rgba{unit(c[0]), unit(c[0]), unit(c[0]), unit(c[1])};
        break;
    case Color::DeviceCMYK:
        if (c.size() >= 5) {
            const float k = unit(c[3]);
            return Rgba{(1 - unit(c[0])) * (1 - k), (1 - unit(c[1])) * (1 - k), (1 - unit(c[2])) * (1 - k),
                        unit(c[4])};
        }
        break;
    default:
        break;
    }
    qCWarning(lcArchive) << "colour of space" << color.space << "with" << c.size() << "components ignored";
    return std::nullopt;
}

} // namespace

std::optional<Rgba> rgbaFromColor(const Color& color) {
    const Color* current = &color;
    for (int i = 0; i <= kMaxFallbacks && current; ++i) {
        if (current->space != Color::Named)
            return componentsToRgba(*current);
        current = current->fallback.get();
    }
    qCWarning(lcArchive) << "named colour" << color.catalog << color.name << "has no usable fallback";
    return std::nullopt;
}

Color colorFromRgba(Rgba rgba) {
    Color color;
    color.space = Color::CalibratedRGB;
    color.components = {rgba.r, rgba.g, rgba.b, rgba.a};
    return color;
}

std::optional<Rgba> rgbaFromColorData(const QByteArray& data) {
    const ArchiveDecodeResult decoded = decodeArchive(data);
    if (!decoded.ok()) {
        qCWarning(lcArchive) << "colour data does not decode:" << decoded.error;
        return std::nullopt;
    }
    const Color* color = decoded.root.asColor();
    if (!color) {
        qCWarning(lcArchive) << "colour data holds a" << decoded.rootClassName << "instead of a colour";
        return std::nullopt;
    }
    return rgbaFromColor(*color);
}

std::optional<Rgba> rgbaFromColorValue(const Value& stored) {
    if (const QByteArray* data = stored.asData())
        return rgbaFromColorData(*data);
    if (const Color* color = stored.asColor())
        return rgbaFromColor(*color);
    return std::nullopt;
}

QByteArray colorDataFromRgba(Rgba rgba) {
    return encodeArchive(colorFromRgba(rgba));
}

} // namespace tardigo
