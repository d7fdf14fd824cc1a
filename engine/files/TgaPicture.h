#pragma once

// One TGA picture inside a byte buffer, shared by the TGA and CUBE formats.

#include <cstddef>
#include <cstdint>

#include "engine/files/ByteReader.h"

namespace zav {

constexpr size_t kTgaHeaderSize = 18;
constexpr int32_t kMaxTgaSide = 0xFFFF;  // sides are 16-bit fields

struct TgaHeader {
    uint8_t imageType = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t format = 0;  // RGB8 for 24 bits per pixel, RGBA8 for 32
};

// Reads the 18-byte header and skips the ID field when it lies within the
// data; a colour map is not skipped. False when the header is short or the
// depth or image type is not supported (24/32 bits, types 2 and 10).
bool ReadTgaHeader(ByteReader& in, TgaHeader& header);

// Reads the pixels that follow the header into `pixels`, a zero-filled block
// of width × height pixels, in file row order, turning B, G, R into R, G, B.
// A short file leaves the remaining pixels zero.
void ReadTgaPixels(ByteReader& in, const TgaHeader& header, uint8_t* pixels);

// Writes an uncompressed picture (header and pixels, top row first) of
// 18 + width × height × bytes per pixel bytes. `format` is RGB8 or RGBA8 and
// the sides are at most 65535.
void WriteTgaPicture(const uint8_t* pixels, int32_t width, int32_t height, int32_t format, uint8_t* out);

}  // namespace zav
