#pragma once

#include <cstdint>

namespace zav {

// The index ranges of render-state values: blend factors (zero, one, source
// colour, one minus source colour, source alpha, one minus source alpha,
// destination colour, one minus destination colour, destination alpha, one
// minus destination alpha), compare functions (never, less, less or equal,
// equal, not equal, greater, greater or equal, always) and stencil
// operations (keep, zero, replace, invert, increment, decrement; both
// wrapping).
constexpr int32_t kBlendIndexCount = 10;
constexpr int32_t kCompareIndexCount = 8;
constexpr int32_t kStencilOpIndexCount = 6;
constexpr int32_t kMaxAlphaReference = 255;

inline bool IsBlendIndex(int32_t index) { return index >= 0 && index < kBlendIndexCount; }
inline bool IsCompareIndex(int32_t index) { return index >= 0 && index < kCompareIndexCount; }
inline bool IsStencilOpIndex(int32_t index) { return index >= 0 && index < kStencilOpIndexCount; }
inline bool IsAlphaReference(int32_t value) { return value >= 0 && value <= kMaxAlphaReference; }

// `index` when it is in range, else `fallback`.
inline int32_t BlendIndexOr(int32_t index, int32_t fallback) { return IsBlendIndex(index) ? index : fallback; }
inline int32_t CompareIndexOr(int32_t index, int32_t fallback) { return IsCompareIndex(index) ? index : fallback; }
inline int32_t StencilOpIndexOr(int32_t index, int32_t fallback) {
    return IsStencilOpIndex(index) ? index : fallback;
}

}  // namespace zav
