#pragma once

// Little-endian 16- and 32-bit fields in byte buffers, whatever the byte
// order of the machine.

#include <cstdint>

namespace zav {

inline uint16_t ReadLittle16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

inline uint32_t ReadLittle32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

inline void PutLittle16(uint8_t* p, uint16_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

inline void PutLittle32(uint8_t* p, uint32_t value) {
    PutLittle16(p, static_cast<uint16_t>(value));
    PutLittle16(p + 2, static_cast<uint16_t>(value >> 16));
}

}  // namespace zav
