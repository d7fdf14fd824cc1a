// BMP files: 14-byte file header, 40-byte information header, rows padded to
// four bytes, stored bottom row first; 24-bit pixels as B, G, R.
#include <utility>

#include "engine/core/Result.h"
#include "engine/files/ByteReader.h"
#include "engine/files/LittleEndian.h"
#include "engine/files/PictureFormats.h"

namespace zav {

namespace {

constexpr uint32_t kHeadersSize = 14 + 40;
constexpr uint16_t kBmpType = 0x4D42;  // "BM"
constexpr uint32_t kPixelsPerMetre = 3780;

uint64_t PaddedRow(uint64_t rowBytes) { return (rowBytes + 3) & ~uint64_t{3}; }

// Header fields one after another.
void PutU16(uint8_t*& out, uint16_t value) {
    PutLittle16(out, value);
    out += 2;
}

void PutU32(uint8_t*& out, uint32_t value) {
    PutLittle32(out, value);
    out += 4;
}

}  // namespace

int DecodeBmp(const uint8_t* data, size_t size, Picture& picture, uint64_t maxBytes) {
    ByteReader in(data, size);
    in.ReadU16();                       // type
    in.ReadU32();                       // file size
    in.ReadU16();                       // reserved
    in.ReadU16();                       // reserved
    const uint32_t pixelOffset = in.ReadU32();
    in.ReadU32();                       // information header size
    const auto width = static_cast<int32_t>(in.ReadU32());
    const auto height = static_cast<int32_t>(in.ReadU32());
    in.ReadU16();                       // planes
    const uint16_t bitsPerPixel = in.ReadU16();
    for (int field = 0; field < 6; ++field) in.ReadU32();  // compression, image size, resolutions, colours
    if (in.Failed()) return kFailed;

    Picture decoded;
    if (bitsPerPixel == 8)
        decoded.format = A8;
    else if (bitsPerPixel == 24)
        decoded.format = RGB8;
    else
        return kFailed;
    // A negative height (rows stored top first) is not supported.
    const uint64_t bytes = PictureBytes(width, height, 1, decoded.format, maxBytes);
    if (bytes == 0) return kFailed;
    if (!decoded.pixels.Allocate(bytes)) return kFailed;
    decoded.width = width;
    decoded.height = height;

    // The palette and anything else before the pixels is skipped; an offset
    // pointing into the headers is taken as the end of the headers.
    if (pixelOffset > kHeadersSize) in.Skip(pixelOffset - kHeadersSize);

    const size_t pixelBytes = static_cast<size_t>(BytesPerPixel(decoded.format));
    const size_t rowBytes = static_cast<size_t>(width) * pixelBytes;
    const size_t padding = static_cast<size_t>(PaddedRow(rowBytes)) - rowBytes;
    uint8_t* row = decoded.pixels.Data();
    // A short file leaves the remaining pixels zero.
    for (int32_t y = 0; y < height; ++y, row += rowBytes) {
        if (in.Remaining() < rowBytes) {
            CopySwappingRedAndBlue(row, in.Current(), in.Remaining() - in.Remaining() % pixelBytes, pixelBytes);
            decoded.shortData = true;
            break;
        }
        CopySwappingRedAndBlue(row, in.Current(), rowBytes, pixelBytes);
        in.Skip(rowBytes + padding);
    }

    picture = std::move(decoded);
    return kOk;
}

int EncodeBmp(const PictureView& picture, ByteBlock& file) {
    if (picture.format != RGB8 && picture.format != A8) return kNotFound;
    if (ViewBytes(picture) == 0) return kFailed;
    const size_t pixelBytes = static_cast<size_t>(BytesPerPixel(picture.format));
    const size_t rowBytes = static_cast<size_t>(picture.width) * pixelBytes;
    const uint64_t stride = PaddedRow(rowBytes);
    const uint64_t imageSize = stride * static_cast<uint64_t>(picture.height);
    if (imageSize + kHeadersSize > UINT32_MAX) return kFailed;

    ByteBlock out;
    if (!out.Allocate(static_cast<size_t>(kHeadersSize + imageSize))) return kOutOfMemory;
    uint8_t* put = out.Data();
    PutU16(put, kBmpType);
    PutU32(put, static_cast<uint32_t>(kHeadersSize + imageSize));
    PutU16(put, 0);
    PutU16(put, 0);
    PutU32(put, kHeadersSize);
    PutU32(put, 40);
    PutU32(put, static_cast<uint32_t>(picture.width));
    PutU32(put, static_cast<uint32_t>(picture.height));
    PutU16(put, 1);
    PutU16(put, static_cast<uint16_t>(8 * pixelBytes));
    PutU32(put, 0);
    PutU32(put, static_cast<uint32_t>(imageSize));
    PutU32(put, kPixelsPerMetre);
    PutU32(put, kPixelsPerMetre);
    PutU32(put, 0);
    PutU32(put, 0);

    // Row 0 (the bottom row) first, as BMP stores it; padding stays zero.
    const uint8_t* row = picture.pixels;
    for (int32_t y = 0; y < picture.height; ++y, row += rowBytes, put += stride)
        CopySwappingRedAndBlue(put, row, rowBytes, pixelBytes);
    file = std::move(out);
    return kOk;
}

}  // namespace zav
