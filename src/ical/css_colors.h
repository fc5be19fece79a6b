#pragma once

#include "model/rgba.h"

#include <QString>

#include <optional>

namespace tardigo {

/// The CSS3 colour keyword nearest to the colour (its alpha aside).
QString cssColorName(const Rgba& color);
/// A CSS3 colour keyword, or "#rrggbb" as many clients write; nothing for any other text.
std::optional<Rgba> parseCssColor(const QString& text);

} // namespace tardigo
