#include "engine/render/TextureUpload.h"

#include <algorithm>
#include <cstring>

#include "engine/render/Image.h"
#include "engine/render/PixelFormat.h"

namespace zav {

int32_t DeviceTexelBytes(int32_t format) {
    switch (format) {
        case RGB8:
        case RGBA8: return 4;
        case A8: return 1;
        default: return 0;
    }
}

bool WriteImageTexels(const Image& image, int32_t firstSlice, const TexelRegion& region) {
    const uint8_t* pixels = image.GetPixels();
    const int32_t format = image.GetFormat();
    const int32_t width = image.GetWidth(), height = image.GetHeight();
    if (!pixels || !region.bits || DeviceTexelBytes(format) == 0 || width <= 0 || height <= 0 ||
        region.width != width || region.height != height || firstSlice < 0 || region.depth < 1)
        return false;
    const int64_t sliceBytes = static_cast<int64_t>(width) * height * BytesPerPixel(format);
    if (firstSlice + static_cast<int64_t>(region.depth) > image.GetDataSize() / sliceBytes) return false;
    const int32_t pixelBytes = BytesPerPixel(format);
    const int64_t imageRow = static_cast<int64_t>(width) * pixelBytes;
    for (int32_t z = 0; z < region.depth; ++z) {
        const uint8_t* slice = pixels + (firstSlice + z) * imageRow * height;
        for (int32_t r = 0; r < height; ++r) {
            const uint8_t* in = slice + r * imageRow;
            uint8_t* out = region.bits + z * region.slicePitch + (height - 1 - r) * region.rowPitch;
            if (format == A8) {
                std::memcpy(out, in, static_cast<size_t>(width));
                continue;
            }
            for (int32_t x = 0; x < width; ++x, in += pixelBytes, out += 4) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
                out[3] = format == RGBA8 ? in[3] : 255;
            }
        }
    }
    return true;
}

void FilterMipLevel(const TexelRegion& upper, const TexelRegion& lower, int32_t texelBytes) {
    // Texel (x, y, z) of the lower level averages the upper texels 2x..2x+1
    // (and so on), each index kept inside the upper level.
    auto clamp = [](int32_t value, int32_t size) { return value < size ? value : size - 1; };
    const int32_t zSpan = upper.depth > 1 ? 2 : 1;
    const int32_t count = 4 * zSpan;
    for (int32_t z = 0; z < lower.depth; ++z) {
        for (int32_t y = 0; y < lower.height; ++y) {
            uint8_t* out = lower.bits + z * lower.slicePitch + y * lower.rowPitch;
            const int32_t y0 = clamp(2 * y, upper.height), y1 = clamp(2 * y + 1, upper.height);
            for (int32_t x = 0; x < lower.width; ++x) {
                const int32_t x0 = clamp(2 * x, upper.width), x1 = clamp(2 * x + 1, upper.width);
                for (int32_t c = 0; c < texelBytes; ++c) {
                    int32_t sum = 0;
                    for (int32_t dz = 0; dz < zSpan; ++dz) {
                        const uint8_t* slice = upper.bits + clamp(2 * z + dz, upper.depth) * upper.slicePitch;
                        const uint8_t* row0 = slice + y0 * upper.rowPitch;
                        const uint8_t* row1 = slice + y1 * upper.rowPitch;
                        sum += row0[x0 * texelBytes + c] + row0[x1 * texelBytes + c] + row1[x0 * texelBytes + c] +
                               row1[x1 * texelBytes + c];
                    }
                    out[x * texelBytes + c] = static_cast<uint8_t>((sum + count / 2) / count);
                }
            }
        }
    }
}

}  // namespace zav
