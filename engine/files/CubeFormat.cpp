// CUBE files: six TGA pictures one after another, faces +X, -X, +Y, -Y, +Z, -Z.
#include "engine/core/Result.h"
#include "engine/files/PictureFormats.h"
#include "engine/files/TgaPicture.h"

namespace zav {

namespace {

constexpr int32_t kCubeFaces = 6;

}  // namespace

int DecodeCube(const uint8_t* data, size_t size, Picture& picture, uint64_t maxBytes) {
    return DecodeTgaFaces(data, size, kCubeFaces, picture, maxBytes);
}

int EncodeCube(const PictureView& picture, ByteBlock& file) {
    if (picture.depth != kCubeFaces) return kFailed;
    return EncodeTgaFaces(picture, kCubeFaces, file);
}

}  // namespace zav
