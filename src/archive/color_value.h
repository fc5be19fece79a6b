#pragma once

#include "model/rgba.h"
#include "model/value.h"

#include <QByteArray>

#include <optional>

namespace tardigo {

/// The colour an archived colour shows, whatever space it was stored in; a named colour shows its
/// fallback. Nothing when the colour has too few components or no usable fallback.
std::optional<Rgba> rgbaFromColor(const Color& color);

/// The archived form we write: calibrated RGB.
Color colorFromRgba(Rgba rgba);

/// The colour an item's "color" data (an archived colour) shows; nothing when it does not decode.
std::optional<Rgba> rgbaFromColorData(const QByteArray& data);

/// The colour an item's "color" shows, stored as an archived colour or as its data; nothing for any
/// other value or one that does not decode.
std::optional<Rgba> rgbaFromColorValue(const Value& stored);

/// The archive to store under an item's "color".
QByteArray colorDataFromRgba(Rgba rgba);

} // namespace tardigo
