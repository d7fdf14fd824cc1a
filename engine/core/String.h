#pragma once

#include <cstdint>
#include <cstddef>

namespace zav {

// The engine's string: heap bytes with a 32-bit length, always followed by a
// zero byte (an empty string still owns a one-byte buffer). Text is
// Windows-1251. Strings compare by length first, then byte by byte.
class String {
public:
    String();
    String(const char* text);  // NOLINT: implicit from literals is intended
    String(const char* bytes, int32_t length);
    String(const String& other);
    String(String&& other) noexcept;
    ~String();

    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;

    const char* CStr() const { return data_; }
    int32_t Length() const { return length_; }
    bool IsEmpty() const { return length_ == 0; }
    char operator[](int32_t index) const { return data_[index]; }

    // Replaces the contents with `length` bytes; the bytes may contain zeros.
    void Assign(const char* bytes, int32_t length);
    void Append(const char* bytes, int32_t length);
    void Append(const String& other) { Append(other.data_, other.length_); }
    // Replaces the contents with `length` bytes for the caller to fill in
    // (already zero-terminated) and returns them. When memory runs out it
    // returns null and leaves the string as it was.
    char* TryAllocate(int32_t length);

    bool operator==(const String& other) const;
    bool operator!=(const String& other) const { return !(*this == other); }
    bool operator==(const char* text) const;
    bool operator!=(const char* text) const { return !(*this == text); }
    // Orders by length, then by unsigned bytes.
    bool operator<(const String& other) const;

    // Hash for the engine's 32-bucket tables.
    uint32_t Hash() const;

    // printf-style construction.
    static String Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

private:
    char* data_;
    int32_t length_;
};

String operator+(const String& a, const String& b);

}  // namespace zav
