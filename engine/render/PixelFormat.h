#pragma once

#include <cstdint>

namespace zav {

// Pixel formats of images. The code is stored in scene files, so unknown codes
// can occur; they have no byte size.
enum PixelFormat : int32_t {
    RGB8 = 0,     // R, G, B
    RGBA8 = 1,    // R, G, B, A
    A8 = 2,       // one 8-bit value
    RGBA16F = 3,  // four 16-bit floats
};

// Bytes per pixel of a format code, 0 for an unknown code.
inline int32_t BytesPerPixel(int32_t format) {
    switch (format) {
        case RGB8: return 3;
        case RGBA8: return 4;
        case A8: return 1;
        case RGBA16F: return 8;
        default: return 0;
    }
}

}  // namespace zav
