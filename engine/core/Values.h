#pragma once

#include <cstdint>

namespace zav {

// Plain value types that streams encode field by field (floats and 32-bit
// integers, little-endian). Their arithmetic lives with the code that uses it.

struct Vector3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct Vector4 {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
};

struct Quaternion {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;
};

// Channels 0..1; packed for the device as 8-bit A, R, G, B.
struct Color {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
};

// A major.minor.patch triple, as written at the start of a scene file.
struct Version {
    int32_t major = 0, minor = 0, patch = 0;
};

inline bool operator==(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
inline bool operator==(const Vector4& a, const Vector4& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
}
inline bool operator==(const Quaternion& a, const Quaternion& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
}
inline bool operator==(const Color& a, const Color& b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; }
inline bool operator==(const Version& a, const Version& b) {
    return a.major == b.major && a.minor == b.minor && a.patch == b.patch;
}

}  // namespace zav
