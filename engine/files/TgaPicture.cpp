#include "engine/files/TgaPicture.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/core/Result.h"
#include "engine/files/ByteReader.h"
#include "engine/files/LittleEndian.h"

namespace zav {

namespace {

constexpr size_t kTgaHeaderSize = 18;
constexpr int32_t kMaxTgaSide = 0xFFFF;  // sides are 16-bit fields
constexpr uint8_t kTypeRaw = 2;
constexpr uint8_t kTypeRunLength = 10;
// Descriptor bits: eight attribute (alpha) bits; 0x20, the top row stored
// first, stays clear.
constexpr uint8_t kAlphaBits = 0x08;

// Reads run-length packets until the block is full or the data ends, turning
// B, G, R into R, G, B; returns the number of bytes filled. A packet never
// writes past the block.
size_t ReadRunLengthPixels(ByteReader& in, uint8_t* pixels, size_t total, size_t pixelBytes) {
    size_t filled = 0;
    while (filled < total && in.Remaining() > 0) {
        const uint8_t packet = in.ReadU8();
        const size_t count = std::min<size_t>((packet & 0x7F) + 1u, (total - filled) / pixelBytes);
        if (packet & 0x80) {
            uint8_t pixel[4];
            if (!in.Read(pixel, pixelBytes)) break;
            CopySwappingRedAndBlue(pixel, pixel, pixelBytes, pixelBytes);
            for (size_t i = 0; i < count; ++i, filled += pixelBytes) std::memcpy(pixels + filled, pixel, pixelBytes);
            continue;
        }
        const size_t wanted = count * pixelBytes;
        const size_t available = std::min(wanted, in.Remaining() - in.Remaining() % pixelBytes);
        CopySwappingRedAndBlue(pixels + filled, in.Current(), available, pixelBytes);
        in.Skip(available);
        filled += available;
        if (available < wanted) break;
    }
    return filled;
}

struct TgaHeader {
    uint8_t imageType = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t format = 0;  // RGB8 for 24 bits per pixel, RGBA8 for 32
};

// Reads the 18-byte header and skips the ID field when it lies within the
// data; a colour map is not skipped. False when the header is short or the
// depth or image type is not supported (24/32 bits, types 2 and 10).
bool ReadTgaHeader(ByteReader& in, TgaHeader& header) {
    uint8_t bytes[kTgaHeaderSize];
    if (!in.Read(bytes, sizeof bytes)) return false;
    const uint8_t idLength = bytes[0];
    header.imageType = bytes[2];
    header.width = ReadLittle16(bytes + 12);
    header.height = ReadLittle16(bytes + 14);
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

// Reads the pixels that follow the header into `pixels`, a zero-filled block
// of width × height pixels, in file row order, turning B, G, R into R, G, B.
// A short file leaves the remaining pixels zero and returns false.
bool ReadTgaPixels(ByteReader& in, const TgaHeader& header, uint8_t* pixels) {
    const size_t pixelBytes = static_cast<size_t>(BytesPerPixel(header.format));
    const size_t total = static_cast<size_t>(header.width) * static_cast<size_t>(header.height) * pixelBytes;
    // Rows stay in file order whichever way the file stores them.
    size_t filled;
    if (header.imageType == kTypeRaw) {
        filled = std::min(total, in.Remaining() - in.Remaining() % pixelBytes);
        CopySwappingRedAndBlue(pixels, in.Current(), filled, pixelBytes);
        in.Skip(filled);
    } else {
        filled = ReadRunLengthPixels(in, pixels, total, pixelBytes);
    }
    return filled == total;
}

// Writes an uncompressed picture (header and pixels, bottom row first) of
// 18 + width × height × bytes per pixel bytes.
void WriteTgaPicture(const uint8_t* pixels, int32_t width, int32_t height, int32_t format, uint8_t* out) {
    const size_t pixelBytes = static_cast<size_t>(BytesPerPixel(format));
    std::memset(out, 0, kTgaHeaderSize);
    out[2] = kTypeRaw;
    PutLittle16(out + 12, static_cast<uint16_t>(width));
    PutLittle16(out + 14, static_cast<uint16_t>(height));
    out[16] = static_cast<uint8_t>(8 * pixelBytes);
    out[17] = format == RGBA8 ? kAlphaBits : 0;
    out += kTgaHeaderSize;

    // Bottom row first, as the engine keeps the rows: the decoder takes rows
    // in file order, so the picture reads back as it was written.
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * pixelBytes;
    CopySwappingRedAndBlue(out, pixels, bytes, pixelBytes);
}

}  // namespace

int DecodeTgaFaces(const uint8_t* data, size_t size, int32_t faces, Picture& picture, uint64_t maxBytes) {
    ByteReader in(data, size);
    Picture decoded;
    TgaHeader first;
    size_t faceBytes = 0;
    for (int32_t face = 0; face < faces; ++face) {
        TgaHeader header;
        if (!ReadTgaHeader(in, header)) return kFailed;
        if (face == 0) {
            first = header;
            const uint64_t bytes = PictureBytes(header.width, header.height, faces, header.format, maxBytes);
            if (bytes == 0) return kFailed;
            if (!decoded.pixels.Allocate(bytes)) return kFailed;
            faceBytes = bytes / faces;
        } else if (header.width != first.width || header.height != first.height || header.format != first.format) {
            // Every face must fit the same slice size.
            return kFailed;
        }
        if (!ReadTgaPixels(in, header, decoded.pixels.Data() + face * faceBytes)) decoded.shortData = true;
    }
    decoded.width = first.width;
    decoded.height = first.height;
    decoded.depth = faces;
    decoded.format = first.format;
    picture = std::move(decoded);
    return kOk;
}

int EncodeTgaFaces(const PictureView& picture, int32_t faces, ByteBlock& file) {
    if (picture.format != RGB8 && picture.format != RGBA8) return kNotFound;
    // Sized by the faces written, not by the view's depth: a deeper view must
    // not leave unwritten bytes at the end of the file.
    if (!picture.pixels || picture.depth < faces) return kFailed;
    const uint64_t bytes = PictureBytes(picture.width, picture.height, faces, picture.format, kMaxPictureBytes);
    if (bytes == 0 || picture.width > kMaxTgaSide || picture.height > kMaxTgaSide) return kFailed;
    const size_t faceBytes = static_cast<size_t>(bytes / faces);
    ByteBlock out;
    if (!out.Allocate(faces * (kTgaHeaderSize + faceBytes))) return kOutOfMemory;
    for (int32_t face = 0; face < faces; ++face) {
        WriteTgaPicture(picture.pixels + face * faceBytes, picture.width, picture.height, picture.format,
                        out.Data() + face * (kTgaHeaderSize + faceBytes));
    }
    file = std::move(out);
    return kOk;
}

}  // namespace zav
