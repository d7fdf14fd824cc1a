#pragma once

#include <cstddef>
#include <cstdint>

namespace zav::rar2 {

// CRC-32 with the reflected polynomial 0xEDB88320 (start value and final
// value complemented). `previous` is the CRC of the bytes before `data`, so
// a CRC can be computed piece by piece: Crc32(b, n, Crc32(a, m)).
uint32_t Crc32(const void* data, size_t size, uint32_t previous = 0);

}  // namespace zav::rar2
