#pragma once

// Shared body of the picture decoder fuzz targets: decode with a small size
// limit (so that huge claimed sizes are refused quickly), check that the
// result is consistent, and, where the format can be written again, that the
// encoded file decodes to the same pixels.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/files/PictureFormats.h"

namespace zav::fuzz {

constexpr uint64_t kFuzzPictureBytes = 256u << 10;

inline void Check(bool condition) {
    if (!condition) std::abort();
}

inline Picture DecodeChecked(int (*decode)(const uint8_t*, size_t, Picture&, uint64_t), const uint8_t* data,
                             size_t size) {
    Picture picture;
    const int result = decode(data, size, picture, kFuzzPictureBytes);
    Check(result == 0 || result == 1);
    if (result == 0) {
        Check(picture.pixels.Size() == PictureBytes(picture.width, picture.height, picture.depth, picture.format,
                                                    kFuzzPictureBytes));
    } else {
        Check(picture.pixels.Data() == nullptr);
    }
    return picture;
}

// Encodes a decoded picture, which must succeed, and decodes the file again
// (with room for a grey JPEG that comes back as RGB).
inline Picture EncodeAndDecode(int (*encode)(const PictureView&, ByteBlock&),
                               int (*decode)(const uint8_t*, size_t, Picture&, uint64_t), const Picture& picture) {
    ByteBlock file;
    Check(encode(picture.View(), file) == 0);
    Picture again;
    Check(decode(file.Data(), file.Size(), again, 3 * kFuzzPictureBytes) == 0);
    Check(again.width == picture.width && again.height == picture.height && again.depth == picture.depth);
    return again;
}

}  // namespace zav::fuzz
