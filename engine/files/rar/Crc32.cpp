#include "engine/files/rar/Crc32.h"

namespace zav::rar2 {

namespace {

// Eight tables: the CRC advances eight bytes per step.
struct Crc32Tables {
    uint32_t table[8][256];

    Crc32Tables() {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
            table[0][i] = c;
        }
        for (uint32_t i = 0; i < 256; ++i)
            for (int t = 1; t < 8; ++t) table[t][i] = (table[t - 1][i] >> 8) ^ table[0][table[t - 1][i] & 0xFF];
    }
};

const Crc32Tables& Tables() {
    static const Crc32Tables tables;
    return tables;
}

}  // namespace

uint32_t Crc32(const void* data, size_t size, uint32_t previous) {
    const uint32_t(*t)[256] = Tables().table;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    uint32_t crc = ~previous;
    while (size >= 8) {
        uint32_t low = crc ^ (static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
              t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
        p += 8;
        size -= 8;
    }
    while (size--) crc = (crc >> 8) ^ t[0][(crc ^ *p++) & 0xFF];
    return ~crc;
}

}  // namespace zav::rar2
