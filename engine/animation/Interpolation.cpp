#include "engine/animation/Interpolation.h"

#include <cmath>

namespace zav {

namespace {

// 2^-23: closer rotations are taken as equal.
constexpr float kSlerpEpsilon = 1.1920929e-7f;

}  // namespace

Quaternion Slerp(const Quaternion& q1, const Quaternion& q2, float t) {
    const float c = q1.x * q2.x + q1.y * q2.y + q1.z * q2.z + q1.w * q2.w;
    // q and -q are the same rotation: the arc through -q2 is the shorter one
    // when the dot product is negative.
    const float sign = c < 0.0f ? -1.0f : 1.0f;
    const float cosine = c * sign;
    if (!(1.0f - cosine > kSlerpEpsilon)) return q1;
    const float theta = std::acos(cosine);
    const float sine = std::sin(theta);
    const float k1 = std::sin((1.0f - t) * theta) / sine;
    const float k2 = sign * std::sin(t * theta) / sine;
    return {k1 * q1.x + k2 * q2.x, k1 * q1.y + k2 * q2.y, k1 * q1.z + k2 * q2.z, k1 * q1.w + k2 * q2.w};
}

}  // namespace zav
