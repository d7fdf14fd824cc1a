#pragma once

// Decoders and encoders of the picture file formats, working on byte buffers.
// Decoders fill `picture` only on success (result 0); on failure it keeps what
// it had. Results: 0 success, 1 failure (damaged or unsupported file, picture
// larger than `maxBytes`), 2 out of memory. Encoders replace `file` with the
// complete file on success; results 0 success, 1 failure, 2 out of memory,
// 3 unsupported pixel format.

#include <cstddef>
#include <cstdint>

#include "engine/files/ByteBlock.h"
#include "engine/files/Picture.h"

namespace zav {

// BMP with a 40-byte information header, 8 or 24 bits per pixel. 8-bit
// pictures decode to their palette indices as A8.
int DecodeBmp(const uint8_t* data, size_t size, Picture& picture, uint64_t maxBytes = kMaxPictureBytes);
int EncodeBmp(const PictureView& picture, ByteBlock& file);  // RGB8 and A8

// TGA true-colour pictures, 24 or 32 bits, raw (type 2) or run-length (type 10).
int DecodeTga(const uint8_t* data, size_t size, Picture& picture, uint64_t maxBytes = kMaxPictureBytes);
int EncodeTga(const PictureView& picture, ByteBlock& file);  // RGB8 and RGBA8

// A cube map: six TGA pictures of one size and format, faces +X, -X, +Y, -Y,
// +Z, -Z; decodes to depth 6.
int DecodeCube(const uint8_t* data, size_t size, Picture& picture, uint64_t maxBytes = kMaxPictureBytes);
int EncodeCube(const PictureView& picture, ByteBlock& file);  // depth 6, RGB8 and RGBA8

// JPEG through libjpeg; grey pictures decode to A8, colour ones to RGB8.
// Library messages are logged at WARNING as "code text".
int DecodeJpeg(const uint8_t* data, size_t size, Picture& picture, uint64_t maxBytes = kMaxPictureBytes);
int EncodeJpeg(const PictureView& picture, ByteBlock& file);  // RGB8; A8 as grey

// The formats by codec, with the file extensions each accepts (exact,
// case-sensitive comparison).
struct PictureFormat {
    const char* codecName;
    const char* const* extensions;
    int extensionCount;
    int (*decode)(const uint8_t* data, size_t size, Picture& picture, uint64_t maxBytes);
    int (*encode)(const PictureView& picture, ByteBlock& file);
};
const PictureFormat* FindPictureFormat(const char* extension);
const PictureFormat& BmpPictureFormat();
const PictureFormat& JpgPictureFormat();
const PictureFormat& TgaPictureFormat();
const PictureFormat& CubePictureFormat();

}  // namespace zav
