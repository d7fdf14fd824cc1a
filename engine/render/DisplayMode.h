#pragma once

#include <cstdint>

namespace zav {

// One usable combination of back-buffer format, depth format and
// multisampling; width and height matter for full-screen records only.
struct DisplayMode {
    int32_t width = 0;
    int32_t height = 0;
    bool fullScreen = false;
    int32_t colorBits = 0;
    int32_t redBits = 0;
    int32_t greenBits = 0;
    int32_t blueBits = 0;
    int32_t alphaBits = 0;
    int32_t depthBits = 0;
    int32_t stencilBits = 0;
    int32_t samples = 1;
};

}  // namespace zav
