#pragma once

// Byte builders for hand-made picture files in the codec tests.

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace zav::test {

using Bytes = std::vector<uint8_t>;

inline void Append(Bytes& bytes, std::initializer_list<uint8_t> more) { bytes.insert(bytes.end(), more); }
inline void Append(Bytes& bytes, const Bytes& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }
inline void Append16(Bytes& bytes, uint32_t value) { Append(bytes, {uint8_t(value), uint8_t(value >> 8)}); }
inline void Append32(Bytes& bytes, uint32_t value) {
    Append16(bytes, value & 0xFFFF);
    Append16(bytes, value >> 16);
}

// File header and 40-byte information header.
inline Bytes BmpHeaders(int32_t width, int32_t height, uint16_t bits, uint32_t pixelOffset = 54) {
    Bytes bytes;
    Append16(bytes, 0x4D42);
    Append32(bytes, 0);
    Append32(bytes, 0);
    Append32(bytes, pixelOffset);
    Append32(bytes, 40);
    Append32(bytes, static_cast<uint32_t>(width));
    Append32(bytes, static_cast<uint32_t>(height));
    Append16(bytes, 1);
    Append16(bytes, bits);
    for (int i = 0; i < 6; ++i) Append32(bytes, 0);
    return bytes;
}

inline Bytes TgaHeader(uint8_t type, uint16_t width, uint16_t height, uint8_t bits, uint8_t descriptor = 0,
                       uint8_t idLength = 0) {
    Bytes bytes = {idLength, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Append16(bytes, width);
    Append16(bytes, height);
    Append(bytes, {bits, descriptor});
    return bytes;
}

}  // namespace zav::test
