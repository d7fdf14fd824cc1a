#include "engine/files/TgaPicture.h"

#include <algorithm>
#include <cstring>

#include "engine/files/Picture.h"

namespace zav {

namespace {

constexpr uint8_t kTypeRaw = 2;
constexpr uint8_t kTypeRunLength = 10;
// Top row stored first (0x20) and eight attribute (alpha) bits.
constexpr uint8_t kWrittenDescriptor = 0x28;

// Reads run-length packets until the block is full or the data ends; returns
// the number of bytes filled. A packet never writes past the block.
size_t ReadRunLengthPixels(ByteReader& in, uint8_t* pixels, size_t total, size_t pixelBytes) {
    size_t filled = 0;
    while (filled < total && in.Remaining() > 0) {
        const uint8_t packet = in.ReadU8();
        const size_t count = std::min<size_t>((packet & 0x7F) + 1u, (total - filled) / pixelBytes);
        if (packet & 0x80) {
            uint8_t pixel[4];
            if (!in.Read(pixel, pixelBytes)) break;
            for (size_t i = 0; i < count; ++i, filled += pixelBytes) std::memcpy(pixels + filled, pixel, pixelBytes);
            continue;
        }
        const size_t wanted = count * pixelBytes;
        const size_t available = std::min(wanted, in.Remaining() - in.Remaining() % pixelBytes);
        std::memcpy(pixels + filled, in.Current(), available);
        in.Skip(available);
        filled += available;
        if (available < wanted) break;
    }
    return filled;
}

}  // namespace

bool ReadTgaHeader(ByteReader& in, TgaHeader& header) {
    uint8_t bytes[kTgaHeaderSize];
    if (!in.Read(bytes, sizeof bytes)) return false;
    const uint8_t idLength = bytes[0];
    header.imageType = bytes[2];
    header.width = bytes[12] | bytes[13] << 8;
    header.height = bytes[14] | bytes[15] << 8;
    const uint8_t bitsPerPixel = bytes[16];
    if (bitsPerPixel == 24)
        header.format = RGB8;
    else if (bitsPerPixel == 32)
        header.format = RGBA8;
    else
        return false;
    if (header.imageType != kTypeRaw && header.imageType != kTypeRunLength) return false;
    if (idLength <= in.Remaining()) in.Skip(idLength);
    return true;
}

void ReadTgaPixels(ByteReader& in, const TgaHeader& header, uint8_t* pixels) {
    const size_t pixelBytes = static_cast<size_t>(BytesPerPixel(header.format));
    const size_t total = static_cast<size_t>(header.width) * static_cast<size_t>(header.height) * pixelBytes;
    size_t filled;
    if (header.imageType == kTypeRaw) {
        filled = std::min(total, in.Remaining() - in.Remaining() % pixelBytes);
        std::memcpy(pixels, in.Current(), filled);
        in.Skip(filled);
    } else {
        filled = ReadRunLengthPixels(in, pixels, total, pixelBytes);
    }
    // Rows stay in file order whichever way the file stores them.
    CopySwappingRedAndBlue(pixels, pixels, filled, pixelBytes);
}

void WriteTgaPicture(const uint8_t* pixels, int32_t width, int32_t height, int32_t format, uint8_t* out) {
    const size_t pixelBytes = static_cast<size_t>(BytesPerPixel(format));
    std::memset(out, 0, kTgaHeaderSize);
    out[2] = kTypeRaw;
    out[12] = static_cast<uint8_t>(width);
    out[13] = static_cast<uint8_t>(width >> 8);
    out[14] = static_cast<uint8_t>(height);
    out[15] = static_cast<uint8_t>(height >> 8);
    out[16] = static_cast<uint8_t>(8 * pixelBytes);
    out[17] = kWrittenDescriptor;
    out += kTgaHeaderSize;

    const size_t rowBytes = static_cast<size_t>(width) * pixelBytes;
    for (int32_t y = height - 1; y >= 0; --y, out += rowBytes)
        CopySwappingRedAndBlue(out, pixels + static_cast<size_t>(y) * rowBytes, rowBytes, pixelBytes);
}

}  // namespace zav
