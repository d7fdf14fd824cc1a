// TGA files: an 18-byte header, the ID field, then true-colour pixels, raw or
// run-length encoded.
#include <utility>

#include "engine/core/Result.h"
#include "engine/files/PictureFormats.h"
#include "engine/files/TgaPicture.h"

namespace zav {

int DecodeTga(const uint8_t* data, size_t size, Picture& picture, uint64_t maxBytes) {
    ByteReader in(data, size);
    TgaHeader header;
    if (!ReadTgaHeader(in, header)) return kFailed;
    const uint64_t bytes = PictureBytes(header.width, header.height, 1, header.format, maxBytes);
    if (bytes == 0) return kFailed;
    Picture decoded;
    if (!decoded.pixels.Allocate(bytes)) return kFailed;
    ReadTgaPixels(in, header, decoded.pixels.Data());
    decoded.width = header.width;
    decoded.height = header.height;
    decoded.format = header.format;
    picture = std::move(decoded);
    return kOk;
}

int EncodeTga(const PictureView& picture, ByteBlock& file) {
    if (picture.format != RGB8 && picture.format != RGBA8) return kNotFound;
    const uint64_t bytes = ViewBytes(picture);
    if (bytes == 0 || picture.width > kMaxTgaSide || picture.height > kMaxTgaSide) return kFailed;
    ByteBlock out;
    if (!out.Allocate(kTgaHeaderSize + bytes)) return kOutOfMemory;
    WriteTgaPicture(picture.pixels, picture.width, picture.height, picture.format, out.Data());
    file = std::move(out);
    return kOk;
}

}  // namespace zav
