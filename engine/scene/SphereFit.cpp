#include "engine/scene/SphereFit.h"

#include <cmath>

#include "engine/scene/PackedFloats.h"

namespace zav {

namespace {

// Both routines choose as the packed minimum and maximum do: the second
// operand unless the first is strictly smaller (larger), so they agree even
// on NaN.
inline float Smaller(float a, float b) { return a < b ? a : b; }
inline float Larger(float a, float b) { return a > b ? a : b; }

inline void AddPoint(const Vector3& p, Vector3& low, Vector3& high) {
    low = {Smaller(p.x, low.x), Smaller(p.y, low.y), Smaller(p.z, low.z)};
    high = {Larger(p.x, high.x), Larger(p.y, high.y), Larger(p.z, high.z)};
}

inline float DistanceSquared(const Vector3& p, const Vector3& c) {
    float dx = p.x - c.x, dy = p.y - c.y, dz = p.z - c.z;
    return (dx * dx + dy * dy) + dz * dz;
}

inline Vector3 BoxCenter(const Vector3& low, const Vector3& high) {
    return {(low.x + high.x) * 0.5f, (low.y + high.y) * 0.5f, (low.z + high.z) * 0.5f};
}

}  // namespace

void FitSpherePlain(const Vector3* points, int count, Vector3& center, float& radius) {
    Vector3 low = points[0], high = points[0];
    int i = 1;
    for (; i + 4 <= count; i += 4) {
        AddPoint(points[i], low, high);
        AddPoint(points[i + 1], low, high);
        AddPoint(points[i + 2], low, high);
        AddPoint(points[i + 3], low, high);
    }
    for (; i < count; ++i) AddPoint(points[i], low, high);
    center = BoxCenter(low, high);

    float farthest = DistanceSquared(points[0], center);
    i = 1;
    for (; i + 4 <= count; i += 4) {
        farthest = Larger(DistanceSquared(points[i], center), farthest);
        farthest = Larger(DistanceSquared(points[i + 1], center), farthest);
        farthest = Larger(DistanceSquared(points[i + 2], center), farthest);
        farthest = Larger(DistanceSquared(points[i + 3], center), farthest);
    }
    for (; i < count; ++i) farthest = Larger(DistanceSquared(points[i], center), farthest);
    radius = std::sqrt(farthest);
}

#if ZAV_HAS_PACKED_FLOATS

namespace {

inline __m128 Load(const Vector3& p) { return _mm_setr_ps(p.x, p.y, p.z, 0.0f); }

// (x*x + y*y) + z*z of the packed difference, in the plain routine's order.
inline __m128 SumOfSquares(__m128 d) {
    __m128 squares = _mm_mul_ps(d, d);
    __m128 y = _mm_shuffle_ps(squares, squares, _MM_SHUFFLE(1, 1, 1, 1));
    __m128 z = _mm_shuffle_ps(squares, squares, _MM_SHUFFLE(2, 2, 2, 2));
    return _mm_add_ss(_mm_add_ss(squares, y), z);
}

}  // namespace

void FitSpherePacked(const Vector3* points, int count, Vector3& center, float& radius) {
    __m128 low = Load(points[0]);
    __m128 high = low;
    for (int i = 1; i < count; ++i) {
        __m128 p = Load(points[i]);
        low = _mm_min_ps(p, low);
        high = _mm_max_ps(p, high);
    }
    alignas(16) float lowOut[4], highOut[4];
    _mm_store_ps(lowOut, low);
    _mm_store_ps(highOut, high);
    center = BoxCenter({lowOut[0], lowOut[1], lowOut[2]}, {highOut[0], highOut[1], highOut[2]});

    const __m128 c = Load(center);
    __m128 farthest = SumOfSquares(_mm_sub_ps(Load(points[0]), c));
    for (int i = 1; i < count; ++i) farthest = _mm_max_ss(SumOfSquares(_mm_sub_ps(Load(points[i]), c)), farthest);
    radius = std::sqrt(_mm_cvtss_f32(farthest));
}

#else

void FitSpherePacked(const Vector3* points, int count, Vector3& center, float& radius) {
    FitSpherePlain(points, count, center, radius);
}

#endif

void FitSphere(const Vector3* points, int count, Vector3& center, float& radius) {
    using Routine = void (*)(const Vector3*, int, Vector3&, float&);
    static const Routine routine = HasPackedFloatInstructions() ? &FitSpherePacked : &FitSpherePlain;
    routine(points, count, center, radius);
}

}  // namespace zav
