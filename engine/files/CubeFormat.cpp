// CUBE files: six TGA pictures one after another, faces +X, -X, +Y, -Y, +Z, -Z.
#include <utility>

#include "engine/core/Result.h"
#include "engine/files/PictureFormats.h"
#include "engine/files/TgaPicture.h"

namespace zav {

namespace {

constexpr int32_t kCubeFaces = 6;

}  // namespace

int DecodeCube(const uint8_t* data, size_t size, Picture& picture, uint64_t maxBytes) {
    ByteReader in(data, size);
    Picture decoded;
    TgaHeader first;
    size_t faceBytes = 0;
    for (int32_t face = 0; face < kCubeFaces; ++face) {
        TgaHeader header;
        if (!ReadTgaHeader(in, header)) return kFailed;
        if (face == 0) {
            first = header;
            const uint64_t bytes = PictureBytes(header.width, header.height, kCubeFaces, header.format, maxBytes);
            if (bytes == 0) return kFailed;
            if (!decoded.pixels.Allocate(bytes)) return kFailed;
            faceBytes = bytes / kCubeFaces;
        } else if (header.width != first.width || header.height != first.height || header.format != first.format) {
            // Every face must fit the same slice size.
            return kFailed;
        }
        ReadTgaPixels(in, header, decoded.pixels.Data() + face * faceBytes);
    }
    decoded.width = first.width;
    decoded.height = first.height;
    decoded.depth = kCubeFaces;
    decoded.format = first.format;
    picture = std::move(decoded);
    return kOk;
}

int EncodeCube(const PictureView& picture, ByteBlock& file) {
    if (picture.depth != kCubeFaces) return kFailed;
    if (picture.format != RGB8 && picture.format != RGBA8) return kNotFound;
    const uint64_t bytes = ViewBytes(picture);
    if (bytes == 0 || picture.width > kMaxTgaSide || picture.height > kMaxTgaSide) return kFailed;
    const size_t faceBytes = bytes / kCubeFaces;
    ByteBlock out;
    if (!out.Allocate(kCubeFaces * (kTgaHeaderSize + faceBytes))) return kOutOfMemory;
    for (int32_t face = 0; face < kCubeFaces; ++face) {
        WriteTgaPicture(picture.pixels + face * faceBytes, picture.width, picture.height, picture.format,
                        out.Data() + face * (kTgaHeaderSize + faceBytes));
    }
    file = std::move(out);
    return kOk;
}

}  // namespace zav
