#pragma once

#include <cstdint>

#include "engine/files/rar/BitInput.h"
#include "engine/files/rar/Rar2Format.h"

namespace zav::rar2 {

// Decodes canonical Huffman codes given by their lengths (1..15; 0: the
// symbol has no code). Codes go out by increasing length and, within a
// length, by increasing symbol. A symbol is found by comparing the next 16
// bits with the left-aligned upper limit of each code length; the first
// kQuickBits bits index a table that answers the short codes at once.
// Bit patterns that no code covers (an incomplete set of lengths) decode as
// kInvalidSymbol, and an over-full set never indexes past its symbols.
class HuffmanDecoder {
public:
    static constexpr int kMaxSymbols = kLiteralSymbols;
    static constexpr int kInvalidSymbol = -1;

    HuffmanDecoder() { Clear(); }

    // A table without codes: every decode fails.
    void Clear();
    // `count` must not exceed kMaxSymbols; lengths are taken modulo 16.
    void Build(const uint8_t* lengths, int count);

    int Decode(BitInput& input) const {
        uint32_t bits = input.Peek16();
        uint16_t quick = quick_[bits >> (16 - kQuickBits)];
        if (quick != kQuickSlow) {
            if (quick == kQuickInvalid) return kInvalidSymbol;
            input.Skip(quick & 0xF);
            return quick >> 4;
        }
        return DecodeLong(input, bits);
    }

private:
    static constexpr int kQuickBits = 10;
    static constexpr uint16_t kQuickSlow = 0;
    static constexpr uint16_t kQuickInvalid = 0xFFFF;

    int DecodeLong(BitInput& input, uint32_t bits) const {
        bits &= 0xFFFE;
        int n = kQuickBits + 1;
        while (n < kMaxCodeLength && bits >= limit_[n]) ++n;
        uint32_t index = CodeIndex(bits, n);
        if (bits < limit_[n - 1] || index >= codeCount_) return kInvalidSymbol;
        input.Skip(n);
        return symbols_[index];
    }
    // Index into symbols_ of the code of `length` bits that starts `bits`.
    uint32_t CodeIndex(uint32_t bits, int length) const {
        return firstIndex_[length] + ((bits - limit_[length - 1]) >> (16 - length));
    }

    uint32_t limit_[kMaxCodeLength + 1];       // codes of up to n bits lie below limit_[n]
    uint32_t firstIndex_[kMaxCodeLength + 1];  // position in symbols_ of the first n-bit code
    uint16_t symbols_[kMaxSymbols];            // symbols by code order
    uint32_t codeCount_;
    uint16_t quick_[1 << kQuickBits];          // symbol << 4 | length, or a marker above
};

}  // namespace zav::rar2
