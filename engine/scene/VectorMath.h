#pragma once

#include <cmath>

#include "engine/core/Values.h"

namespace zav {

// Two floats: texture coordinates.
struct Vector2 {
    float x = 0.0f, y = 0.0f;
};

inline bool operator==(const Vector2& a, const Vector2& b) { return a.x == b.x && a.y == b.y; }

inline Vector3 operator+(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vector3 operator*(const Vector3& v, float s) { return {v.x * s, v.y * s, v.z * s}; }
inline Vector3& operator+=(Vector3& a, const Vector3& b) {
    a.x += b.x;
    a.y += b.y;
    a.z += b.z;
    return a;
}

inline float Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float LengthSquared(const Vector3& v) { return Dot(v, v); }
inline float Length(const Vector3& v) { return std::sqrt(LengthSquared(v)); }

// Squared lengths below this (2^-23) normalise to the zero vector.
constexpr float kDegenerateLengthSquared = 1.1920929e-7f;

// `v` scaled to unit length, or (0, 0, 0) when it is too short to have a
// direction.
inline Vector3 Normalize(const Vector3& v) {
    float squared = LengthSquared(v);
    if (!(squared >= kDegenerateLengthSquared)) return {};
    return v * (1.0f / std::sqrt(squared));
}

inline bool IsFinite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace zav
