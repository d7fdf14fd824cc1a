#include "tools/scenegen/HarbourTextures.h"

#include <cmath>
#include <cstdint>
#include <cstring>

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

constexpr float kPi = mediagen::kPi;

Color WithAlphaOf(const Color& color, float alpha) { return mediagen::WithAlpha(color, alpha); }

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

Canvas PaintBrick(int side) {
    return Painted(side, [](float u, float v) {
        const int courses = 8, bricks = 4;
        const int course = static_cast<int>(v * courses);
        const float shifted = u + (course % 2 ? 0.5f / bricks : 0.0f);
        const float along = shifted - std::floor(shifted);
        const float joint = std::fmin(JointDistance(v, courses) * 2.0f, JointDistance(along, bricks));
        const float tone = Hash01(course, static_cast<int32_t>(along * bricks), 71u);
        const float grain = TileFractal(u, v, 16, 73u, 3);
        const Color brick = Mix(Rgb(0x6E2F22), Rgb(0x9A4A33), 0.55f * tone + 0.45f * grain);
        return Mix(Rgb(0x8A8478), brick, mediagen::SmoothStep(0.03f, 0.08f, joint));
    });
}

Canvas PaintMoon(int side) {
    Canvas canvas(side, side);
    const float half = 0.5f * static_cast<float>(side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f - half) / half;
            const float dy = (static_cast<float>(y) + 0.5f - half) / half;
            const float r = std::sqrt(dx * dx + dy * dy);
            // The disc with a soft rim, darker seas, and a faint halo.
            const float disc = 1.0f - mediagen::SmoothStep(0.80f, 0.84f, r);
            const float seas = mediagen::SmoothStep(0.55f, 0.75f, mediagen::FractalNoise(dx * 2.2f + 3.0f, dy * 2.2f, 83u, 4));
            const float halo = 0.35f * std::pow(mediagen::Clamp01(1.0f - r), 2.0f);
            const Color surface = Mix(Rgb(0xF4F1E4), Rgb(0xB9B6AA), seas);
            canvas.Set(x, y, WithAlphaOf(surface, mediagen::Clamp01(disc + halo)));
        }
    return canvas;
}

Canvas PaintStar(int side) {
    Canvas canvas(side, side);
    const float half = 0.5f * static_cast<float>(side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const float dx = std::fabs((static_cast<float>(x) + 0.5f - half) / half);
            const float dy = std::fabs((static_cast<float>(y) + 0.5f - half) / half);
            const float r = std::sqrt(dx * dx + dy * dy);
            // A round core and two thin rays that fade along their length.
            const float rays = std::exp(-dy * 40.0f) * (1.0f - dx) + std::exp(-dx * 40.0f) * (1.0f - dy);
            const float core = std::exp(-r * r * 18.0f);
            canvas.Set(x, y, Color{1.0f, 0.95f, 0.85f, mediagen::Clamp01(core + 0.8f * rays)});
        }
    return canvas;
}

Canvas PaintWaterFrame(int side, float phase) {
    // Two layers of ripples drifting against each other: a whole drift per
    // cycle, so that the last frame leads back to the first.
    const float drift = phase;
    return Painted(side, [drift](float u, float v) {
        const float a = TileFractal(u + drift, v, 8, 53u, 4);
        const float b = TileFractal(u, v + drift, 8, 61u, 3);
        const float ripple = 0.5f * (a + b);
        const float crest = std::pow(mediagen::Clamp01(2.0f * ripple - 0.55f), 3.0f);
        return Mix(Mix(Rgb(0x081A30), Rgb(0x16395A), ripple), Rgb(0x6C8FAE), crest);
    });
}

namespace {

// The direction a texel of cube face `face` looks along, for (s, t) in
// -1..1 across it (t up), as the device's cube faces are laid out.
Vector3 FaceDirection(int face, float s, float t) {
    switch (face) {
        case 0: return {1.0f, t, -s};
        case 1: return {-1.0f, t, s};
        case 2: return {s, 1.0f, -t};
        case 3: return {s, -1.0f, t};
        case 4: return {s, t, 1.0f};
        default: return {-s, t, -1.0f};
    }
}

Color SkyColor(const Vector3& d) {
    const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    const float up = d.y / length;
    if (up < -0.02f) return Rgb(0x03060B);  // below the horizon: the sea's darkness
    const float height = mediagen::Clamp01(up);
    Color sky = Mix(Rgb(0x1B2A40), Rgb(0x02040A), std::pow(height, 0.45f));
    // Stars: one lattice cell per direction patch, a few of them lit.
    const float scale = 90.0f;
    const float a = std::atan2(d.z, d.x) * scale / kPi, b = up * scale;
    const auto ia = static_cast<int32_t>(std::floor(a)), ib = static_cast<int32_t>(std::floor(b));
    const float star = Hash01(ia, ib, 97u);
    if (star > 0.985f && height > 0.08f) {
        const float fa = a - std::floor(a) - 0.5f, fb = b - std::floor(b) - 0.5f;
        const float glint = std::exp(-(fa * fa + fb * fb) * 30.0f) * (star - 0.985f) / 0.015f;
        sky = Mix(sky, Rgb(0xE8EEFF), mediagen::Clamp01(glint * 1.5f));
    }
    return sky;
}

}  // namespace

std::vector<Canvas> PaintSkyFaces(int side) {
    std::vector<Canvas> faces;
    for (int face = 0; face < 6; ++face)
        faces.push_back(Painted(side, [face](float u, float v) {
            return SkyColor(FaceDirection(face, 2.0f * u - 1.0f, 2.0f * v - 1.0f));
        }));
    return faces;
}

std::vector<Canvas> PaintGlassSlices(int side) {
    static const uint32_t kGlass[6] = {0xFFC46A, 0xFFA84A, 0xF2D98A, 0xE8903C, 0xB8C8E0, 0xFFE0A0};
    std::vector<Canvas> slices;
    for (int slice = 0; slice < 6; ++slice)
        slices.push_back(Painted(side, [slice](float u, float v) {
            // Four panes with dark glazing bars and a little unevenness.
            const float bar = std::fmin(JointDistance(u, 2), JointDistance(v, 2));
            const float shade = 0.75f + 0.25f * TileFractal(u, v, 4, 101u + static_cast<uint32_t>(slice), 2);
            return Mix(Rgb(0x1A1208), Scaled(Rgb(kGlass[slice]), shade), mediagen::SmoothStep(0.04f, 0.09f, bar));
        }));
    return slices;
}

Ref<VolumeImage> ToVolumeImage(const std::vector<Canvas>& canvases) {
    const int side = canvases.empty() ? 0 : canvases[0].Width();
    const auto depth = static_cast<int32_t>(canvases.size());
    Ref<VolumeImage> volume(new VolumeImage("slices", RGB8, side, side, depth));
    const size_t sliceBytes = static_cast<size_t>(side) * static_cast<size_t>(side) * 3;
    for (int32_t slice = 0; slice < depth && volume->GetPixels(); ++slice) {
        Ref<Image> picture = canvases[static_cast<size_t>(slice)].ToImage(RGB8);
        if (picture->GetPixels())
            std::memcpy(volume->GetPixels() + sliceBytes * static_cast<size_t>(slice), picture->GetPixels(), sliceBytes);
    }
    return volume;
}

}  // namespace zav::scenegen
