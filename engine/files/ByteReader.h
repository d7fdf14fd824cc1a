#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/files/LittleEndian.h"

namespace zav {

// Little-endian reads from a byte buffer with the failure rule of the
// engine's streams: a read that does not fit copies nothing, and once one
// has failed every later read fails too. Skips stop at the end.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

    bool Failed() const { return failed_; }
    size_t Position() const { return position_; }
    size_t Remaining() const { return size_ - position_; }
    const uint8_t* Current() const { return data_ + position_; }

    bool Read(void* destination, size_t count) {
        if (failed_ || count > Remaining()) {
            failed_ = true;
            return false;
        }
        if (count > 0) std::memcpy(destination, data_ + position_, count);
        position_ += count;
        return true;
    }

    uint8_t ReadU8() {
        uint8_t value = 0;
        Read(&value, 1);
        return value;
    }
    uint16_t ReadU16() {
        uint8_t bytes[2] = {};
        Read(bytes, 2);
        return ReadLittle16(bytes);
    }
    uint32_t ReadU32() {
        uint8_t bytes[4] = {};
        Read(bytes, 4);
        return ReadLittle32(bytes);
    }

    void Skip(size_t count) { position_ += count < Remaining() ? count : Remaining(); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    bool failed_ = false;
};

}  // namespace zav
