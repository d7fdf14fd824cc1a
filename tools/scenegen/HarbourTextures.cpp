#include "tools/scenegen/HarbourTextures.h"

#include <cmath>
#include <cstdint>

#include "tools/mediagen/Paint.h"

namespace zav::scenegen {

namespace {

using mediagen::Canvas;
using mediagen::Color;
using mediagen::Hash01;
using mediagen::Lerp;
using mediagen::Mix;
using mediagen::Rgb;
using mediagen::Scaled;

int32_t Wrap(int32_t value, int32_t period) { return ((value % period) + period) % period; }

// Value noise over a lattice of `period` cells per texture side that wraps
// around, so that the texture tiles.
float TileNoise(float x, float y, int32_t period, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const auto ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    const float tx = x - fx, ty = y - fy;
    const float sx = tx * tx * (3.0f - 2.0f * tx), sy = ty * ty * (3.0f - 2.0f * ty);
    auto at = [&](int32_t i, int32_t j) { return Hash01(Wrap(i, period), Wrap(j, period), seed); };
    return Lerp(Lerp(at(ix, iy), at(ix + 1, iy), sx), Lerp(at(ix, iy + 1), at(ix + 1, iy + 1), sx), sy);
}

// Octaves of tiling noise at `cells`, 2 × cells, ... per side, in [0, 1).
// (u, v) in [0, 1) across the texture.
float TileFractal(float u, float v, int32_t cells, uint32_t seed, int octaves) {
    float sum = 0.0f, weight = 0.5f, total = 0.0f;
    for (int i = 0; i < octaves; ++i, cells *= 2, weight *= 0.5f) {
        sum += weight * TileNoise(u * static_cast<float>(cells), v * static_cast<float>(cells), cells,
                                  seed + static_cast<uint32_t>(i) * 101u);
        total += weight;
    }
    return sum / total;
}

// Calls paint(u, v) for every pixel centre and sets the pixel to its colour.
template <class Paint>
Canvas Painted(int side, Paint paint) {
    Canvas canvas(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(side);
            const float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(side);
            canvas.Set(x, y, paint(u, v));
        }
    return canvas;
}

// Distance to the nearest joint of a grid of `count` cells along a unit side, in cells.
float JointDistance(float t, int count) {
    const float cell = t * static_cast<float>(count);
    const float inside = cell - std::floor(cell);
    return std::fmin(inside, 1.0f - inside);
}

}  // namespace

Canvas PaintStone(int side) {
    return Painted(side, [](float u, float v) {
        // Four courses of blocks, each course shifted by half a block.
        const int courses = 4, blocks = 2;
        const int course = static_cast<int>(v * courses);
        const float shifted = u + (course % 2 ? 0.5f / blocks : 0.0f);
        const float joint = std::fmin(JointDistance(v, courses), JointDistance(shifted - std::floor(shifted), blocks) *
                                                                     static_cast<float>(courses) / blocks);
        const float block = Hash01(course, static_cast<int32_t>(shifted * blocks) % blocks, 7u);
        const float grain = TileFractal(u, v, 8, 11u, 4);
        Color stone = Mix(Rgb(0x6B6760), Rgb(0x8C877D), 0.35f * block + 0.65f * grain);
        const float mortar = mediagen::SmoothStep(0.02f, 0.06f, joint);
        return Mix(Rgb(0x3A3834), stone, mortar);
    });
}

Canvas PaintWood(int side) {
    return Painted(side, [](float u, float v) {
        // Planks run along u; four across the texture.
        const int planks = 4;
        const int plank = static_cast<int>(v * planks);
        const float across = v * planks - static_cast<float>(plank);
        const float grain = TileNoise(u * 2.0f, v * 64.0f, 64, 23u + static_cast<uint32_t>(plank)) * 0.5f +
                            TileFractal(u, v, 4, 29u, 3) * 0.5f;
        const float tone = Hash01(plank, 0, 31u);
        Color wood = Mix(Rgb(0x5A3B22), Rgb(0x8A6240), 0.5f * grain + 0.3f * tone);
        const float seam = mediagen::SmoothStep(0.0f, 0.06f, std::fmin(across, 1.0f - across));
        return Scaled(wood, 0.45f + 0.55f * seam);
    });
}

Canvas PaintPlaster(int side) {
    return Painted(side, [](float u, float v) {
        const float stain = TileFractal(u, v, 4, 41u, 5);
        return Mix(Rgb(0xBDB8AC), Rgb(0xE8E4DA), stain);
    });
}

Canvas PaintWater(int side) {
    return Painted(side, [](float u, float v) {
        const float ripple = TileFractal(u, v, 8, 53u, 4);
        const float crest = std::pow(TileNoise(u * 16.0f, v * 16.0f, 16, 59u), 3.0f);
        return Mix(Mix(Rgb(0x081A30), Rgb(0x16395A), ripple), Rgb(0x5C7F9E), 0.5f * crest);
    });
}

Canvas PaintGlow(int side) {
    Canvas canvas(side, side);
    const float half = 0.5f * static_cast<float>(side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f - half) / half;
            const float dy = (static_cast<float>(y) + 0.5f - half) / half;
            const float r = std::sqrt(dx * dx + dy * dy);
            // A bright core and a soft halo that reaches zero at the rim;
            // drawn additively, alpha is how much light each texel adds.
            const float core = std::exp(-r * r * 30.0f), halo = mediagen::Clamp01(1.0f - r);
            const float alpha = mediagen::Clamp01(core + 0.7f * halo * halo);
            canvas.Set(x, y, Color{1.0f, 0.92f + 0.08f * core, 0.75f + 0.25f * core, alpha});
        }
    return canvas;
}

}  // namespace zav::scenegen
