// TGA files: an 18-byte header, the ID field, then true-colour pixels, raw or
// run-length encoded.
#include "engine/files/PictureFormats.h"
#include "engine/files/TgaPicture.h"

namespace zav {

int DecodeTga(const uint8_t* data, size_t size, Picture& picture, uint64_t maxBytes) {
    return DecodeTgaFaces(data, size, 1, picture, maxBytes);
}

// A volume writes its first slice.
int EncodeTga(const PictureView& picture, ByteBlock& file) { return EncodeTgaFaces(picture, 1, file); }

}  // namespace zav
