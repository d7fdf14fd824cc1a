#pragma once

#include <cstddef>
#include <cstdint>

namespace zav {

// An owned block of bytes from the C heap. Reports running out of memory
// instead of throwing; `Release` hands the block to a caller that frees it
// with std::free.
class ByteBlock {
public:
    ByteBlock() = default;
    ~ByteBlock();
    ByteBlock(ByteBlock&& other) noexcept;
    ByteBlock& operator=(ByteBlock&& other) noexcept;
    ByteBlock(const ByteBlock&) = delete;
    ByteBlock& operator=(const ByteBlock&) = delete;

    // Replaces the contents with `size` zero bytes.
    bool Allocate(size_t size);
    // Changes the size, keeping the leading bytes; new bytes are undefined.
    bool Resize(size_t size);
    void Reset();
    uint8_t* Release();

    uint8_t* Data() { return data_; }
    const uint8_t* Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace zav
