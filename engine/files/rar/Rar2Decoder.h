#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/files/rar/AudioPredictor.h"
#include "engine/files/rar/BitInput.h"
#include "engine/files/rar/HuffmanDecoder.h"
#include "engine/files/rar/Rar2Format.h"

namespace zav::rar2 {

// The RAR 2.0 decompressor: LZ77 over a 1 MiB window with Huffman-coded
// literals, lengths and distances, a ring of the four recent distances, and
// audio blocks through the adaptive predictor. One object decodes the
// entries of one archive in order; an entry of a solid archive continues the
// window, tables and distances the entry before it left.
class Rar2Decoder {
public:
    enum Status {
        kDecoded,
        kOutOfMemory,
        kBadTables,      // a table header that cannot be read
        kBadSymbol,      // a bit pattern no code covers
        kBadDistance,    // a match reaching before the first byte of output
        kInputExhausted, // the packed bytes ended before the output was complete
    };

    Rar2Decoder();
    ~Rar2Decoder();
    Rar2Decoder(const Rar2Decoder&) = delete;
    Rar2Decoder& operator=(const Rar2Decoder&) = delete;

    // Decodes `packed` into `output` (exactly `outputSize` bytes). With
    // `continuesSolid`, the stream has no tables of its own and starts from
    // the state the previous entry left; when there is no such state (the
    // chain was broken) it starts from a cleared one.
    Status Decode(const uint8_t* packed, size_t packedSize, uint8_t* output, size_t outputSize, bool continuesSolid);

    // The next entry cannot continue this state: an entry of the chain was
    // not decoded.
    void BreakSolidChain() { continuable_ = false; }

private:
    void Reset();
    bool ReadTables(BitInput& input);
    Status DecodeLoop(BitInput& input, uint8_t* output, size_t outputSize);
    Status DecodeLzRun(BitInput& input, size_t outputSize);
    void Flush(uint8_t* output, size_t outputSize);
    void ReadTrailingTables(BitInput& input);

    std::unique_ptr<uint8_t[]> window_;
    uint32_t position_ = 0;        // next window position to write
    uint64_t windowWritten_ = 0;   // bytes written since the state was cleared
    uint32_t flushed_ = 0;         // window position up to which output has the bytes
    uint64_t produced_ = 0;        // bytes of this entry written to the window
    size_t delivered_ = 0;         // bytes of this entry copied to the output

    uint32_t recentDistances_[4] = {};
    uint32_t recentIndex_ = 0;
    uint32_t lastDistance_ = 0;
    uint32_t lastLength_ = 0;

    bool audioBlock_ = false;
    int channels_ = 1;
    int currentChannel_ = 0;
    AudioPredictor audio_;

    HuffmanDecoder literals_;
    HuffmanDecoder distances_;
    HuffmanDecoder repeatLengths_;
    HuffmanDecoder audioTables_[kMaxAudioChannels];
    HuffmanDecoder lengthCode_;  // transmits the lengths of the tables above
    uint8_t previousLengths_[kMaxTableLengths] = {};

    bool continuable_ = false;
};

}  // namespace zav::rar2
