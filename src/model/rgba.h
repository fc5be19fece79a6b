#pragma once

namespace tardigo {

/// A colour as red, green, blue and alpha, each from 0 to 1.
struct Rgba {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
    bool operator==(const Rgba& other) const = default;
};

} // namespace tardigo
