#include "engine/core/String.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace zav {

namespace {

// Moved-from strings point here so that CStr() stays a valid empty text.
char gMovedFromText[1] = {'\0'};

void FreeText(char* data) {
    if (data != gMovedFromText) delete[] data;
}

char* AllocateText(const char* bytes, int32_t length) {
    char* data = new char[static_cast<size_t>(length) + 1];
    if (length > 0) std::memcpy(data, bytes, static_cast<size_t>(length));
    data[length] = '\0';
    return data;
}

}  // namespace

String::String() : data_(AllocateText(nullptr, 0)), length_(0) {}

String::String(const char* text) {
    size_t length = text ? std::strlen(text) : 0;
    if (length > INT32_MAX) throw std::bad_alloc();
    length_ = static_cast<int32_t>(length);
    data_ = AllocateText(text, length_);
}

String::String(const char* bytes, int32_t length) {
    if (length < 0 || (length > 0 && bytes == nullptr)) length = 0;
    length_ = length;
    data_ = AllocateText(bytes, length);
}

String::String(const String& other)
    : data_(AllocateText(other.data_, other.length_)), length_(other.length_) {}

String::String(String&& other) noexcept : data_(other.data_), length_(other.length_) {
    other.data_ = gMovedFromText;
    other.length_ = 0;
}

String::~String() { FreeText(data_); }

String& String::operator=(const String& other) {
    if (this != &other) Assign(other.data_, other.length_);
    return *this;
}

String& String::operator=(String&& other) noexcept {
    if (this != &other) {
        FreeText(data_);
        data_ = other.data_;
        length_ = other.length_;
        other.data_ = gMovedFromText;
        other.length_ = 0;
    }
    return *this;
}

void String::Assign(const char* bytes, int32_t length) {
    if (length < 0 || (length > 0 && bytes == nullptr)) length = 0;
    char* fresh = AllocateText(bytes, length);
    FreeText(data_);
    data_ = fresh;
    length_ = length;
}

char* String::TryAllocate(int32_t length) {
    if (length < 0) return nullptr;
    char* fresh = new (std::nothrow) char[static_cast<size_t>(length) + 1];
    if (!fresh) return nullptr;
    fresh[length] = '\0';
    FreeText(data_);
    data_ = fresh;
    length_ = length;
    return fresh;
}

void String::Append(const char* bytes, int32_t length) {
    if (length <= 0 || bytes == nullptr) return;
    int64_t total = static_cast<int64_t>(length_) + length;
    if (total > INT32_MAX) throw std::bad_alloc();
    char* fresh = new char[static_cast<size_t>(total) + 1];
    if (length_ > 0) std::memcpy(fresh, data_, static_cast<size_t>(length_));
    std::memcpy(fresh + length_, bytes, static_cast<size_t>(length));
    fresh[total] = '\0';
    FreeText(data_);
    data_ = fresh;
    length_ = static_cast<int32_t>(total);
}

bool String::operator==(const String& other) const {
    return length_ == other.length_ &&
           (length_ == 0 || std::memcmp(data_, other.data_, static_cast<size_t>(length_)) == 0);
}

bool String::operator==(const char* text) const {
    size_t length = text ? std::strlen(text) : 0;
    return static_cast<size_t>(length_) == length &&
           (length_ == 0 || std::memcmp(data_, text, length) == 0);
}

bool String::operator<(const String& other) const {
    if (length_ != other.length_) return length_ < other.length_;
    return length_ > 0 && std::memcmp(data_, other.data_, static_cast<size_t>(length_)) < 0;
}

uint32_t String::Hash() const {
    // FNV-1a over the bytes.
    uint32_t hash = 2166136261u;
    for (int32_t i = 0; i < length_; ++i) {
        hash ^= static_cast<unsigned char>(data_[i]);
        hash *= 16777619u;
    }
    return hash;
}

String String::Format(const char* format, ...) {
    char stackBuffer[512];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(stackBuffer, sizeof stackBuffer, format, args);
    va_end(args);
    String result;
    if (needed < 0) {
        va_end(copy);
        return result;
    }
    if (static_cast<size_t>(needed) < sizeof stackBuffer) {
        va_end(copy);
        result.Assign(stackBuffer, needed);
        return result;
    }
    std::vector<char> heapBuffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(heapBuffer.data(), heapBuffer.size(), format, copy);
    va_end(copy);
    result.Assign(heapBuffer.data(), needed);
    return result;
}

String operator+(const String& a, const String& b) {
    String result(a);
    result.Append(b);
    return result;
}

}  // namespace zav
