#include "engine/files/rar/HuffmanDecoder.h"

namespace zav::rar2 {

void HuffmanDecoder::Clear() {
    for (int i = 0; i <= kMaxCodeLength; ++i) limit_[i] = firstIndex_[i] = 0;
    codeCount_ = 0;
    for (uint16_t& entry : quick_) entry = kQuickInvalid;
}

void HuffmanDecoder::Build(const uint8_t* lengths, int count) {
    uint32_t lengthCount[kMaxCodeLength + 1] = {};
    for (int i = 0; i < count; ++i) ++lengthCount[lengths[i] & 0xF];
    lengthCount[0] = 0;

    // limit_[n]: the code space used by codes of up to n bits, as a 16-bit
    // left-aligned value, capped for an over-full set of lengths.
    uint32_t nextPosition[kMaxCodeLength + 1];
    uint32_t codes = 0;
    limit_[0] = firstIndex_[0] = nextPosition[0] = 0;
    for (int n = 1; n <= kMaxCodeLength; ++n) {
        codes = 2 * (codes + lengthCount[n]);
        if (codes > 0x10000) codes = 0x10000;  // keeps the sum bounded; the cap below decides
        uint32_t limit = codes << (kMaxCodeLength - n);
        limit_[n] = limit > 0xFFFF ? 0xFFFF : limit;
        firstIndex_[n] = nextPosition[n] = firstIndex_[n - 1] + lengthCount[n - 1];
    }
    for (int i = 0; i < count; ++i) {
        int n = lengths[i] & 0xF;
        if (n != 0) symbols_[nextPosition[n]++] = static_cast<uint16_t>(i);
    }
    codeCount_ = firstIndex_[kMaxCodeLength] + lengthCount[kMaxCodeLength];

    // Quick table: every kQuickBits-bit prefix whose code is that short.
    constexpr int kShift = 16 - kQuickBits;
    for (uint16_t& entry : quick_) entry = kQuickSlow;
    uint32_t begin = 0;
    for (int n = 1; n <= kQuickBits; ++n) {
        uint32_t end = (limit_[n] + (1u << kShift) - 1) >> kShift;
        for (uint32_t prefix = begin; prefix < end; ++prefix) {
            uint32_t index = CodeIndex(prefix << kShift, n);
            quick_[prefix] = index < codeCount_ ? static_cast<uint16_t>(symbols_[index] << 4 | n) : kQuickInvalid;
        }
        if (end > begin) begin = end;
    }
}

}  // namespace zav::rar2
