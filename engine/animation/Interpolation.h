#pragma once

#include "engine/core/Values.h"

namespace zav {

// a + (b - a) * t, component-wise.
inline float Lerp(float a, float b, float t) { return a + (b - a) * t; }
inline Vector3 Lerp(const Vector3& a, const Vector3& b, float t) {
    return {Lerp(a.x, b.x, t), Lerp(a.y, b.y, t), Lerp(a.z, b.z, t)};
}
inline Color Lerp(const Color& a, const Color& b, float t) {
    return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t), Lerp(a.a, b.a, t)};
}

// Spherical interpolation from q1 to q2 along the shorter arc, not normalised
// afterwards. Quaternions closer than 2^-23 in their dot product give q1
// unchanged rather than a linear blend.
Quaternion Slerp(const Quaternion& q1, const Quaternion& q2, float t);

}  // namespace zav
