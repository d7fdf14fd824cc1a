#pragma once

namespace zav {

// A colour as four floats, each nominally 0..1.
struct Color {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
};

}  // namespace zav
