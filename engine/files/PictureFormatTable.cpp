#include <cstring>

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
    {"BMPImageCodec", kBmpExtensions, Count(kBmpExtensions), DecodeBmp, EncodeBmp},
    {"JPGImageCodec", kJpgExtensions, Count(kJpgExtensions), DecodeJpeg, EncodeJpeg},
    {"TGAImageCodec", kTgaExtensions, Count(kTgaExtensions), DecodeTga, EncodeTga},
    {"CUBEImageCodec", kCubeExtensions, Count(kCubeExtensions), DecodeCube, EncodeCube},
};

}  // namespace

const PictureFormat* FindPictureFormat(const char* extension) {
    if (!extension) return nullptr;
    for (const PictureFormat& format : kFormats)
        for (int i = 0; i < format.extensionCount; ++i)
            if (std::strcmp(format.extensions[i], extension) == 0) return &format;
    return nullptr;
}

const PictureFormat& BmpPictureFormat() { return kFormats[0]; }
const PictureFormat& JpgPictureFormat() { return kFormats[1]; }
const PictureFormat& TgaPictureFormat() { return kFormats[2]; }
const PictureFormat& CubePictureFormat() { return kFormats[3]; }

}  // namespace zav
