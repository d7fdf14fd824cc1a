#include "engine/files/Picture.h"

#include <cstring>

namespace zav {

uint64_t PictureBytes(int64_t width, int64_t height, int64_t depth, int32_t format, uint64_t limit) {
    const int64_t pixelBytes = BytesPerPixel(format);
    if (width <= 0 || height <= 0 || depth <= 0 || pixelBytes == 0) return 0;
    if (width > INT32_MAX || height > INT32_MAX || depth > INT32_MAX) return 0;
    if (limit > kMaxPictureBytes) limit = kMaxPictureBytes;
    // Every factor is below 2^31 and every partial product is checked against
    // the limit (below 2^31) before the next multiplication: nothing overflows.
    const uint64_t row = static_cast<uint64_t>(width) * static_cast<uint64_t>(pixelBytes);
    if (row > limit) return 0;
    const uint64_t slice = row * static_cast<uint64_t>(height);
    if (slice > limit) return 0;
    const uint64_t total = slice * static_cast<uint64_t>(depth);
    return total > limit ? 0 : total;
}

void CopySwappingRedAndBlue(uint8_t* out, const uint8_t* in, size_t bytes, size_t pixelBytes) {
    if (pixelBytes < 3) {
        if (out != in) std::memmove(out, in, bytes);
        return;
    }
    for (size_t i = 0; i + pixelBytes <= bytes; i += pixelBytes) {
        const uint8_t first = in[i];
        out[i] = in[i + 2];
        out[i + 1] = in[i + 1];
        out[i + 2] = first;
        if (pixelBytes == 4) out[i + 3] = in[i + 3];
    }
}

uint64_t ViewBytes(const PictureView& view) {
    if (!view.pixels) return 0;
    return PictureBytes(view.width, view.height, view.depth, view.format, kMaxPictureBytes);
}

}  // namespace zav
