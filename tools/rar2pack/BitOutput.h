#pragma once

#include <cstdint>
#include <vector>

namespace zav::rar2 {

// Writes a bit stream most significant bit first, byte after byte: the
// order in which the decoder reads it.
class BitOutput {
public:
    // Appends the low `count` bits of `value` (count 0..32).
    void Write(uint32_t value, int count) {
        if (count == 0) return;
        buffer_ = (buffer_ << count) | (value & ((uint64_t{1} << count) - 1));
        pending_ += count;
        while (pending_ >= 8) {
            pending_ -= 8;
            bytes_.push_back(static_cast<uint8_t>(buffer_ >> pending_));
        }
    }
    // Pads the last byte with zero bits.
    void Finish() {
        if (pending_ > 0) Write(0, 8 - pending_);
    }
    uint64_t BitCount() const { return static_cast<uint64_t>(bytes_.size()) * 8 + static_cast<uint64_t>(pending_); }
    std::vector<uint8_t>& Bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    uint64_t buffer_ = 0;
    int pending_ = 0;  // bits in buffer_ not yet written to bytes_
};

}  // namespace zav::rar2
