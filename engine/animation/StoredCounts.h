#pragma once

#include <cstdint>

#include "engine/core/Result.h"
#include "engine/core/Stream.h"

namespace zav {

// An object reference at its shortest in a record (a null or repeated one).
constexpr int64_t kStoredReferenceSize = 4;

// Reads the count of a record's list whose items take at least `itemSize`
// bytes each: false when the read fails, the count is negative or the rest
// of the stream cannot hold that many items (damage, refused before anything
// is made for them).
inline bool ReadStoredCount(Stream& stream, int32_t& count, int64_t itemSize) {
    return stream.ReadInt32(count) == kOk && count >= 0 && count * itemSize <= stream.Remaining();
}

}  // namespace zav
