#include "tools/mediagen/Canvas.h"

#include <cmath>

namespace mediagen {

namespace {

constexpr uint32_t kDitherSeed = 0xD17E5u;

uint8_t Quantize(float value, float dither) {
    return static_cast<uint8_t>(std::lround(Clamp01(value + dither / 255.0f) * 255.0f));
}

}  // namespace

Canvas::Canvas(int width, int height) : width_(width), height_(height), pixels_(size_t(width) * size_t(height)) {}

void Canvas::Set(int x, int y, const Color& c) { pixels_[Index(x, y)] = {c.r * c.a, c.g * c.a, c.b * c.a, c.a}; }

void Canvas::Blend(int x, int y, const Color& c, float amount) {
    if (!Contains(x, y)) return;
    const float a = Clamp01(amount) * c.a;
    if (a <= 0.0f) return;
    Color& d = pixels_[Index(x, y)];
    d = {c.r * a + d.r * (1.0f - a), c.g * a + d.g * (1.0f - a), c.b * a + d.b * (1.0f - a), a + d.a * (1.0f - a)};
}

void Canvas::AddLight(int x, int y, const Color& c, float amount) {
    if (!Contains(x, y) || amount <= 0.0f) return;
    Color& d = pixels_[Index(x, y)];
    d.r += c.r * amount;
    d.g += c.g * amount;
    d.b += c.b * amount;
}

void Canvas::Darken(int x, int y, float factor) {
    if (!Contains(x, y)) return;
    Color& d = pixels_[Index(x, y)];
    d.r *= factor;
    d.g *= factor;
    d.b *= factor;
}

void Canvas::Composite(const Canvas& layer, int x0, int y0) {
    for (int y = 0; y < layer.height_; ++y)
        for (int x = 0; x < layer.width_; ++x) {
            if (!Contains(x0 + x, y0 + y)) continue;
            const Color& s = layer.At(x, y);
            Color& d = pixels_[Index(x0 + x, y0 + y)];
            const float keep = 1.0f - s.a;
            d = {s.r + d.r * keep, s.g + d.g * keep, s.b + d.b * keep, s.a + d.a * keep};
        }
}

Canvas Canvas::Mirrored(bool horizontally, bool vertically) const {
    Canvas out(width_, height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            out.pixels_[Index(x, y)] = At(horizontally ? width_ - 1 - x : x, vertically ? height_ - 1 - y : y);
    return out;
}

zav::Ref<zav::Image> Canvas::ToImage(int32_t format, const Color& matte) const {
    zav::Ref<zav::Image> image(new zav::Image(zav::String(), format, width_, height_));
    uint8_t* out = image->GetPixels();
    if (!out) return image;
    const bool alpha = format == zav::RGBA8;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const Color& p = At(x, y);
            const float dither = Hash01(x, y, kDitherSeed) - 0.5f;
            Color straight = p;
            if (alpha) {
                const uint8_t a = Quantize(p.a, dither);
                straight = a == 0 ? matte : Color{p.r / p.a, p.g / p.a, p.b / p.a, p.a};
                out[3] = a;
            }
            out[0] = Quantize(straight.r, dither);
            out[1] = Quantize(straight.g, dither);
            out[2] = Quantize(straight.b, dither);
            out += alpha ? 4 : 3;
        }
    return image;
}

}  // namespace mediagen
