#include "engine/files/ByteBlock.h"

#include <cstdlib>
#include <utility>

namespace zav {

ByteBlock::~ByteBlock() { std::free(data_); }

ByteBlock::ByteBlock(ByteBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

ByteBlock& ByteBlock::operator=(ByteBlock&& other) noexcept {
    if (this != &other) {
        std::free(data_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

bool ByteBlock::Allocate(size_t size) {
    // calloc: a huge block costs nothing until it is written.
    uint8_t* data = static_cast<uint8_t*>(std::calloc(size > 0 ? size : 1, 1));
    if (!data) return false;
    std::free(data_);
    data_ = data;
    size_ = size;
    return true;
}

bool ByteBlock::Resize(size_t size) {
    uint8_t* data = static_cast<uint8_t*>(std::realloc(data_, size > 0 ? size : 1));
    if (!data) return false;
    data_ = data;
    size_ = size;
    return true;
}

void ByteBlock::Reset() {
    std::free(data_);
    data_ = nullptr;
    size_ = 0;
}

uint8_t* ByteBlock::Release() {
    size_ = 0;
    return std::exchange(data_, nullptr);
}

}  // namespace zav
