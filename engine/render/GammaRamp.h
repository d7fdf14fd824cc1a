#pragma once

#include <cstdint>

namespace zav {

// Entry `index` (0..255) of the gamma ramp for a brightness level: the
// identity ramp shifted by 200 per level, kept inside 0..65535.
inline uint16_t GammaRampEntry(int32_t level, int32_t index) {
    int64_t value = 200 * static_cast<int64_t>(level) + 256 * static_cast<int64_t>(index);
    return static_cast<uint16_t>(value < 0 ? 0 : value > 65535 ? 65535 : value);
}

}  // namespace zav
