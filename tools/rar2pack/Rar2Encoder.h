#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/files/rar/Rar2Format.h"

namespace zav::rar2 {

class BitOutput;

// The RAR 2.0 compressor: LZ77 with hash chains over the 1 MiB window, the
// format's recent-distance and repeat-last-match symbols, and Huffman tables
// rebuilt per block of symbols whenever new tables cost less than keeping
// the current ones. One object compresses the entries of one archive; a
// solid entry continues the window, distances and tables of the one before.
class Rar2Encoder {
public:
    struct Options {
        int maxChain = 96;     // hash chain candidates looked at per position
        int goodLength = 16;   // with a match this long, a quarter of the chain is enough
        int lazyLength = 16;   // a match this long is taken without trying the next position
        int niceLength = 128;  // a match this long ends the search
    };

    Rar2Encoder();
    explicit Rar2Encoder(const Options& options);
    ~Rar2Encoder();
    Rar2Encoder(const Rar2Encoder&) = delete;
    Rar2Encoder& operator=(const Rar2Encoder&) = delete;

    // Compresses the next entry into `packed`. Without `continuesSolid` the
    // entry starts from a cleared state with its own tables. False when the
    // solid stream grows beyond what the encoder can address (about 3.7 GB).
    bool Encode(const uint8_t* data, size_t size, bool continuesSolid, std::vector<uint8_t>* packed);

private:
    // One decoder instruction: a literal/length symbol, its extra bits, an
    // optional distance or repeat-length symbol and its extra bits.
    struct Code {
        uint16_t symbol;
        uint16_t second;
        uint8_t bits1;
        uint8_t bits2;
        uint32_t extra1;
        uint32_t extra2;
    };
    struct Candidate {
        uint32_t length = 0;
        uint32_t distance = 0;
        int gain = 0;  // estimated bits saved over literals
    };
    struct Tables {
        uint8_t lengths[kMainTableLengths] = {};
        uint16_t codes[kMainTableLengths] = {};
        bool valid = false;
    };

    void Reset();
    void AppendHistory(const uint8_t* data, size_t size);
    uint32_t Hash(uint64_t position) const;
    void Insert(uint64_t position);
    // The best match at `position`; `held` is the length of a match held
    // back at the position before (the search is shorter when it is good).
    Candidate BestMatch(uint64_t position, uint32_t held);
    int EstimateGain(uint32_t length, uint32_t distance) const;
    bool Encodable(uint32_t length, uint32_t distance) const;
    void EmitLiteral(uint8_t byte);
    void EmitMatch(uint32_t length, uint32_t distance);
    void FlushBlock(BitOutput& out, bool entryStart, bool continuesSolid);
    uint64_t TableBits(const uint8_t* lengths, bool keep, std::vector<Code>* codes, uint8_t* bitLengths) const;
    void WriteTables(BitOutput& out, const Tables& tables);
    void WriteCode(BitOutput& out, const Code& code) const;

    Options options_;
    std::vector<uint8_t> history_;  // stream bytes from historyBase_ on
    uint64_t historyBase_ = 0;
    uint64_t streamEnd_ = 0;
    std::vector<uint32_t> head_;  // per hash: last position + 1, 0 for none
    std::vector<uint32_t> prev_;  // per window slot: earlier position + 1 with the same hash

    // The decoder's state, mirrored.
    uint32_t recent_[4] = {};
    uint32_t recentIndex_ = 0;
    uint32_t lastLength_ = 0;
    uint32_t lastDistance_ = 0;
    uint8_t previousLengths_[kMainTableLengths] = {};
    Tables current_;

    std::vector<Code> block_;
};

}  // namespace zav::rar2
