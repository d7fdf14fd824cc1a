#pragma once

#include <cstddef>
#include <cstdint>

namespace zav::rar2 {

// Reads a byte range as a bit stream, most significant bit first. Bits past
// the end read as zero, and the reader remembers having consumed them, so a
// decoder can tell a stream that ran out from one that ended in time.
class BitInput {
public:
    BitInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // The next 16 bits, without consuming them.
    uint32_t Peek16() {
        if (count_ < 16) Refill();
        return static_cast<uint32_t>(buffer_ >> 48);
    }
    // Consumes n bits (at most 16) of what Peek16 showed.
    void Skip(int n) {
        buffer_ <<= n;
        count_ -= n;
    }
    // Reads n bits (0..16) as an unsigned number.
    uint32_t Read(int n) {
        if (n == 0) return 0;
        uint32_t value = Peek16() >> (16 - n);
        Skip(n);
        return value;
    }

    uint64_t ConsumedBits() const { return static_cast<uint64_t>(next_) * 8 - static_cast<uint64_t>(count_); }
    uint64_t TotalBits() const { return static_cast<uint64_t>(size_) * 8; }
    // True once more bits were consumed than the range holds.
    bool Overrun() const { return ConsumedBits() > TotalBits(); }
    uint64_t RemainingBits() const { return Overrun() ? 0 : TotalBits() - ConsumedBits(); }

private:
    // Tops the buffer up to at least 57 valid bits. Bits below the counted
    // ones are either zero or already the right next bits, so a whole
    // eight-byte load can be merged in.
    void Refill() {
        if (next_ + 8 <= size_) {
            const uint8_t* p = data_ + next_;
            uint64_t word = (static_cast<uint64_t>(p[0]) << 56) | (static_cast<uint64_t>(p[1]) << 48) |
                            (static_cast<uint64_t>(p[2]) << 40) | (static_cast<uint64_t>(p[3]) << 32) |
                            (static_cast<uint64_t>(p[4]) << 24) | (static_cast<uint64_t>(p[5]) << 16) |
                            (static_cast<uint64_t>(p[6]) << 8) | static_cast<uint64_t>(p[7]);
            buffer_ |= word >> count_;
            int bytes = (63 - count_) >> 3;
            next_ += static_cast<size_t>(bytes);
            count_ += bytes * 8;
            return;
        }
        while (count_ <= 56) {
            uint64_t byte = next_ < size_ ? data_[next_] : 0;
            buffer_ |= byte << (56 - count_);
            ++next_;
            count_ += 8;
        }
    }

    const uint8_t* data_;
    size_t size_;
    size_t next_ = 0;      // next byte to load (may pass size_ by the zero padding)
    uint64_t buffer_ = 0;  // unread bits, left-aligned
    int count_ = 0;        // how many bits of buffer_ are loaded
};

}  // namespace zav::rar2
