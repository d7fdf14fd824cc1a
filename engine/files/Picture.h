#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/files/ByteBlock.h"
#include "engine/render/PixelFormat.h"

namespace zav {

// Largest pixel block a codec creates: image sizes in the engine are 32-bit.
constexpr uint64_t kMaxPictureBytes = INT32_MAX;

// Pixels as the engine stores them: rows without gaps, row 0 the bottom row of
// the picture, `depth` slices one after another.
struct PictureView {
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 1;
    int32_t format = RGB8;
    const uint8_t* pixels = nullptr;
};

// A decoded picture that owns its pixel block.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 1;
    int32_t format = RGB8;
    ByteBlock pixels;

    PictureView View() const { return {width, height, depth, format, pixels.Data()}; }
};

// width × height × depth × bytes per pixel, computed in 64 bits. 0 when a
// dimension is not positive, the format has no byte size or the count
// exceeds `limit`.
uint64_t PictureBytes(int64_t width, int64_t height, int64_t depth, int32_t format, uint64_t limit);

// Copies `bytes` bytes of pixels of `pixelBytes` (1, 3 or 4) bytes each,
// exchanging the first and third byte of every pixel (B, G, R <-> R, G, B);
// one-byte pixels are copied as they are. `out` may equal `in`.
void CopySwappingRedAndBlue(uint8_t* out, const uint8_t* in, size_t bytes, size_t pixelBytes);

// The byte count of a view's pixel block, or 0 when the view has no pixels or
// impossible dimensions.
uint64_t ViewBytes(const PictureView& view);

}  // namespace zav
