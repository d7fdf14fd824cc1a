#pragma once

#include <cstdint>

namespace zav {

class Image;

// The pixel layout of device textures made from images: four bytes B, G,
// R, A per texel for RGB8 (A = 255) and RGBA8, one byte for A8. Device rows
// run top to bottom, image rows bottom to top.

// Bytes per device texel for an image format; 0 when images of the format
// are not uploaded.
int32_t DeviceTexelBytes(int32_t format);

// A locked region of device texels: `rows` rows of `rowPitch` bytes, and
// for volumes `slices` slices of `slicePitch` bytes.
struct TexelRegion {
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 1;
    int64_t rowPitch = 0;
    int64_t slicePitch = 0;
};

// Writes slices `firstSlice` .. firstSlice + region.depth - 1 of the image
// into the region, whose size must be the image's (and its depth no more
// than the image's slices from `firstSlice`): image row r of a slice goes to
// region row height - 1 - r. False (nothing written) when the image has no
// pixels, the sizes differ or the format is not uploaded.
bool WriteImageTexels(const Image& image, int32_t firstSlice, const TexelRegion& region);

// Fills the next smaller mip level from the one above it: a 2×2 box
// average (2×2×2 for volumes, where the depth halves too) of every channel,
// rounded to nearest. `lower` must be max(1, n / 2) of `upper` in each
// dimension; an odd last row or column averages with its neighbour.
void FilterMipLevel(const TexelRegion& upper, const TexelRegion& lower, int32_t texelBytes);

}  // namespace zav
