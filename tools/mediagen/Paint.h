#pragma once

// Colour arithmetic, easing and deterministic noise for the procedural
// pictures. Everything is a pure function of its arguments, so the pictures
// come out byte for byte the same on every run.

#include <cmath>
#include <cstdint>

#include "engine/core/Values.h"

namespace mediagen {

using zav::Color;

constexpr float kPi = 3.14159265358979f;

// An opaque colour from 0xRRGGBB, with an optional alpha.
constexpr Color Rgb(uint32_t hex, float alpha = 1.0f) {
    return {float(hex >> 16 & 0xFF) / 255.0f, float(hex >> 8 & 0xFF) / 255.0f, float(hex & 0xFF) / 255.0f, alpha};
}

inline float Clamp01(float value) { return value < 0.0f ? 0.0f : value > 1.0f ? 1.0f : value; }

inline float Lerp(float a, float b, float t) { return a + (b - a) * t; }

inline float SmoothStep(float edge0, float edge1, float x) {
    const float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

// Component-wise mix, alpha included.
inline Color Mix(const Color& a, const Color& b, float t) {
    return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t), Lerp(a.a, b.a, t)};
}

// The colour with its red, green and blue scaled; alpha stays.
inline Color Scaled(const Color& c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }

inline Color WithAlpha(const Color& c, float alpha) { return {c.r, c.g, c.b, alpha}; }

// A well-mixed 32-bit hash of a lattice point and a seed.
inline uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B9u ^ static_cast<uint32_t>(x) * 0x85EBCA6Bu ^ static_cast<uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

// The hash as a number in [0, 1).
inline float Hash01(int32_t x, int32_t y, uint32_t seed) { return float(Hash(x, y, seed) >> 8) / 16777216.0f; }

// Smooth value noise in [0, 1) over the plane, one lattice cell per unit.
inline float ValueNoise(float x, float y, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const auto ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    const float tx = x - fx, ty = y - fy;
    const float sx = tx * tx * (3.0f - 2.0f * tx), sy = ty * ty * (3.0f - 2.0f * ty);
    const float bottom = Lerp(Hash01(ix, iy, seed), Hash01(ix + 1, iy, seed), sx);
    const float top = Lerp(Hash01(ix, iy + 1, seed), Hash01(ix + 1, iy + 1, seed), sx);
    return Lerp(bottom, top, sy);
}

// Fractal sum of `octaves` layers of value noise, in [0, 1).
inline float FractalNoise(float x, float y, uint32_t seed, int octaves) {
    float sum = 0.0f, weight = 0.5f, total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * ValueNoise(x, y, seed + uint32_t(i) * 101u);
        total += weight;
        x *= 2.03f;
        y *= 2.03f;
        weight *= 0.5f;
    }
    return sum / total;
}

// A small deterministic generator (xorshift) for scattering things.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed ? seed : 0x2545F491u) {}
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // Uniform in [0, 1).
    float Unit() { return float(Next() >> 8) / 16777216.0f; }
    float Range(float low, float high) { return low + (high - low) * Unit(); }

private:
    uint32_t state_;
};

}  // namespace mediagen
