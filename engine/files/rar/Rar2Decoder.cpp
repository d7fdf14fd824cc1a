#include "engine/files/rar/Rar2Decoder.h"

#include <cstring>
#include <new>

namespace zav::rar2 {

namespace {

// Output is copied out of the window whenever this much is waiting; a
// match adds at most kMaxMatchLength bytes, so nothing waiting is ever
// overwritten.
constexpr uint32_t kFlushThreshold = kWindowSize / 2;

}  // namespace

Rar2Decoder::Rar2Decoder() = default;
Rar2Decoder::~Rar2Decoder() = default;

void Rar2Decoder::Reset() {
    position_ = 0;
    windowWritten_ = 0;
    flushed_ = 0;
    std::memset(recentDistances_, 0, sizeof recentDistances_);
    recentIndex_ = 0;
    lastDistance_ = 0;
    lastLength_ = 0;
    audioBlock_ = false;
    channels_ = 1;
    currentChannel_ = 0;
    audio_.Reset();
    std::memset(previousLengths_, 0, sizeof previousLengths_);
    literals_.Clear();
    distances_.Clear();
    repeatLengths_.Clear();
    for (HuffmanDecoder& table : audioTables_) table.Clear();
}

Rar2Decoder::Status Rar2Decoder::Decode(const uint8_t* packed, size_t packedSize, uint8_t* output,
                                        size_t outputSize, bool continuesSolid) {
    if (!window_) {
        window_.reset(new (std::nothrow) uint8_t[kWindowSize]);
        if (!window_) return kOutOfMemory;
    }
    if (!continuesSolid || !continuable_) Reset();
    continuable_ = false;
    produced_ = 0;
    delivered_ = 0;
    flushed_ = position_;

    BitInput input(packed, packedSize);
    if (!continuesSolid && !ReadTables(input)) {
        // An empty entry may come without tables; it decodes to nothing.
        return outputSize == 0 ? kDecoded : kBadTables;
    }
    Status status = DecodeLoop(input, output, outputSize);
    if (status != kDecoded) return status;
    Flush(output, outputSize);
    continuable_ = true;
    ReadTrailingTables(input);
    return kDecoded;
}

bool Rar2Decoder::ReadTables(BitInput& input) {
    uint32_t header = input.Peek16();
    audioBlock_ = (header & kTableAudioBit) != 0;
    if (!(header & kTableKeepLengthsBit)) std::memset(previousLengths_, 0, sizeof previousLengths_);
    input.Skip(2);
    int tableSize = kMainTableLengths;
    if (audioBlock_) {
        channels_ = static_cast<int>((header >> 12) & 3) + 1;
        if (currentChannel_ >= channels_) currentChannel_ = 0;
        input.Skip(2);
        tableSize = kAudioSymbols * channels_;
    }

    uint8_t bitLengths[kBitLengthSymbols];
    for (uint8_t& length : bitLengths) length = static_cast<uint8_t>(input.Read(4));
    lengthCode_.Build(bitLengths, kBitLengthSymbols);

    uint8_t lengths[kMaxTableLengths];
    int i = 0;
    while (i < tableSize) {
        if (input.Overrun()) return false;
        int symbol = lengthCode_.Decode(input);
        if (symbol == HuffmanDecoder::kInvalidSymbol) return false;
        if (symbol < kRepeatPreviousLength) {
            lengths[i] = static_cast<uint8_t>((symbol + previousLengths_[i]) & 0xF);
            ++i;
        } else if (symbol == kRepeatPreviousLength) {
            if (i == 0) return false;  // nothing to repeat yet
            uint32_t count = input.Read(2) + 3;
            for (; count > 0 && i < tableSize; --count, ++i) lengths[i] = lengths[i - 1];
        } else {
            uint32_t count = symbol == kShortZeroRun ? input.Read(3) + 3 : input.Read(7) + 11;
            for (; count > 0 && i < tableSize; --count, ++i) lengths[i] = 0;
        }
    }
    if (input.Overrun()) return false;

    if (audioBlock_) {
        for (int c = 0; c < channels_; ++c) audioTables_[c].Build(lengths + c * kAudioSymbols, kAudioSymbols);
    } else {
        literals_.Build(lengths, kLiteralSymbols);
        distances_.Build(lengths + kLiteralSymbols, kDistanceSymbols);
        repeatLengths_.Build(lengths + kLiteralSymbols + kDistanceSymbols, kRepeatLengthSymbols);
    }
    std::memcpy(previousLengths_, lengths, static_cast<size_t>(tableSize));
    return true;
}

Rar2Decoder::Status Rar2Decoder::DecodeLoop(BitInput& input, uint8_t* output, size_t outputSize) {
    while (produced_ < outputSize) {
        if (input.Overrun()) return kInputExhausted;
        if (((position_ - flushed_) & kWindowMask) >= kFlushThreshold) Flush(output, outputSize);
        if (!audioBlock_) {
            Status status = DecodeLzRun(input, outputSize);
            if (status != kDecoded) return status;
            continue;
        }
        int symbol = audioTables_[currentChannel_].Decode(input);
        if (symbol == HuffmanDecoder::kInvalidSymbol) return kBadSymbol;
        if (symbol == kAudioReadTablesSymbol) {
            if (!ReadTables(input)) return kBadTables;
            continue;
        }
        window_[position_] = audio_.Decode(currentChannel_, symbol);
        position_ = (position_ + 1) & kWindowMask;
        ++produced_;
        ++windowWritten_;
        if (++currentChannel_ == channels_) currentChannel_ = 0;
    }
    // The last symbol may have taken bits the entry does not have.
    return input.Overrun() ? kInputExhausted : kDecoded;
}

// Decodes LZ symbols until the entry is complete, output must be flushed,
// the tables change, or the data is bad. The hot state lives in locals:
// stores into the window could otherwise alias every member.
Rar2Decoder::Status Rar2Decoder::DecodeLzRun(BitInput& input, size_t outputSize) {
    uint8_t* const window = window_.get();
    BitInput in = input;
    uint32_t position = position_;
    uint64_t produced = produced_;
    uint64_t written = windowWritten_;
    const uint32_t flushed = flushed_;
    Status status = kDecoded;
    bool readTables = false;

    while (produced < outputSize && ((position - flushed) & kWindowMask) < kFlushThreshold && !in.Overrun()) {
        int symbol = literals_.Decode(in);
        if (symbol < kRepeatLastMatch) {
            if (symbol == HuffmanDecoder::kInvalidSymbol) {
                status = kBadSymbol;
                break;
            }
            window[position] = static_cast<uint8_t>(symbol);
            position = (position + 1) & kWindowMask;
            ++produced;
            ++written;
            continue;
        }
        uint32_t length;
        uint32_t distance;
        if (symbol >= kFirstLengthSymbol) {
            int slot = symbol - kFirstLengthSymbol;
            length = kLengthBase[slot] + 3 + in.Read(kLengthBits[slot]);
            int distanceSlot = distances_.Decode(in);
            if (distanceSlot == HuffmanDecoder::kInvalidSymbol) {
                status = kBadSymbol;
                break;
            }
            distance = kDistanceBase[distanceSlot] + 1 + in.Read(kDistanceBits[distanceSlot]);
            if (distance >= kLongDistance2) ++length;
            if (distance >= kLongDistance3) ++length;
        } else if (symbol == kReadTablesSymbol) {
            readTables = true;
            break;
        } else if (symbol == kRepeatLastMatch) {
            length = lastLength_;
            distance = lastDistance_;
        } else if (symbol < kFirstShortDistance) {
            distance = recentDistances_[(recentIndex_ - static_cast<uint32_t>(symbol - kRepeatLastMatch)) & 3];
            int lengthSlot = repeatLengths_.Decode(in);
            if (lengthSlot == HuffmanDecoder::kInvalidSymbol) {
                status = kBadSymbol;
                break;
            }
            length = kLengthBase[lengthSlot] + 2 + in.Read(kLengthBits[lengthSlot]);
            if (distance >= kLongDistance1) ++length;
            if (distance >= kLongDistance2) ++length;
            if (distance >= kLongDistance3) ++length;
        } else {
            int slot = symbol - kFirstShortDistance;
            distance = kShortDistanceBase[slot] + 1 + in.Read(kShortDistanceBits[slot]);
            length = 2;
        }

        recentDistances_[recentIndex_] = distance;
        recentIndex_ = (recentIndex_ + 1) & 3;
        lastDistance_ = distance;
        lastLength_ = length;
        // Only bytes written since the state was cleared can be copied.
        if (distance == 0 || distance > written) {
            status = kBadDistance;
            break;
        }
        uint32_t from = (position - distance) & kWindowMask;
        if (from + length <= kWindowSize && position + length <= kWindowSize) {
            if (distance >= length && kWindowSize - distance >= length) {
                std::memcpy(window + position, window + from, length);
            } else {
                // Overlapping: bytes written by this match are copied again, in order.
                for (uint32_t i = 0; i < length; ++i) window[position + i] = window[from + i];
            }
        } else {
            for (uint32_t i = 0, to = position; i < length; ++i) {
                window[to] = window[from];
                to = (to + 1) & kWindowMask;
                from = (from + 1) & kWindowMask;
            }
        }
        position = (position + length) & kWindowMask;
        produced += length;
        written += length;
    }

    input = in;
    position_ = position;
    produced_ = produced;
    windowWritten_ = written;
    if (readTables && !ReadTables(input)) return kBadTables;
    return status;
}

// Copies what the window holds beyond the last flush to the output; bytes a
// final match wrote past the entry's size are dropped.
void Rar2Decoder::Flush(uint8_t* output, size_t outputSize) {
    uint32_t waiting = (position_ - flushed_) & kWindowMask;
    size_t count = outputSize - delivered_ < waiting ? outputSize - delivered_ : waiting;
    if (count == 0) {
        flushed_ = position_;
        return;
    }
    size_t first = kWindowSize - flushed_ < count ? kWindowSize - flushed_ : count;
    std::memcpy(output + delivered_, window_.get() + flushed_, first);
    std::memcpy(output + delivered_ + first, window_.get(), count - first);
    delivered_ += count;
    flushed_ = position_;
}

// A solid archive's next entry starts without tables: the encoder put them
// after this entry's data, announced by the table-switch symbol.
void Rar2Decoder::ReadTrailingTables(BitInput& input) {
    if (input.TotalBits() / 8 < input.ConsumedBits() / 8 + 5) return;
    int symbol = audioBlock_ ? audioTables_[currentChannel_].Decode(input) : literals_.Decode(input);
    int readTables = audioBlock_ ? kAudioReadTablesSymbol : kReadTablesSymbol;
    if (symbol == readTables && !ReadTables(input)) continuable_ = false;
}

}  // namespace zav::rar2
