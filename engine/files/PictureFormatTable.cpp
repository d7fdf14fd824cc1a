#include <cstddef>

#include "engine/files/PictureFormats.h"

namespace zav {

namespace {

const char* const kBmpExtensions[] = {"BMP", "bmp", "Bmp"};
const char* const kJpgExtensions[] = {"JPG", "jpg", "Jpg", "JPEG", "jpeg", "Jpeg"};
const char* const kTgaExtensions[] = {"TGA", "tga", "Tga"};
const char* const kCubeExtensions[] = {"CUBE", "cube", "Cube"};

template <size_t N>
constexpr int Count(const char* const (&)[N]) {
    return static_cast<int>(N);
}

const PictureFormat kFormats[] = {
    {"BMPImageCodec", kBmpExtensions, Count(kBmpExtensions), 1, DecodeBmp, EncodeBmp},
    {"JPGImageCodec", kJpgExtensions, Count(kJpgExtensions), 1, DecodeJpeg, EncodeJpeg},
    {"TGAImageCodec", kTgaExtensions, Count(kTgaExtensions), 1, DecodeTga, EncodeTga},
    {"CUBEImageCodec", kCubeExtensions, Count(kCubeExtensions), 6, DecodeCube, EncodeCube},
};

}  // namespace

const PictureFormat& BmpPictureFormat() { return kFormats[0]; }
const PictureFormat& JpgPictureFormat() { return kFormats[1]; }
const PictureFormat& TgaPictureFormat() { return kFormats[2]; }
const PictureFormat& CubePictureFormat() { return kFormats[3]; }

}  // namespace zav
