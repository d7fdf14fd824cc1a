#include <cmath>

#include "tools/mediagen/HarbourPainting.h"
#include "tools/mediagen/Lettering.h"
#include "tools/mediagen/Pictures.h"
#include "tools/mediagen/Shapes.h"

namespace mediagen {

Canvas PaintPreview() {
    Canvas canvas(152, 112);
    // Horizon; moon x, y, radius; lighthouse x, height; pier, boat, stars.
    PaintHarbour(canvas, {0.34f, 0.87f, 0.86f, 0.06f, 0.15f, 0.2f, 0.72f, 0.48f, 2.0f});
    PaintVignette(canvas, 0.4f);
    PaintProductName(canvas, canvas.Width() / 2.0f, 70.0f, 10.0f);
    return canvas;
}

Canvas PaintSettingsPicture() {
    Canvas canvas(200, 384);
    // No pier in the tall picture.
    PaintHarbour(canvas, {0.27f, 0.76f, 0.93f, 0.032f, 0.2f, 0.15f, 2.0f, 0.66f, 1.4f});
    PaintVignette(canvas, 0.45f);
    const float centre = canvas.Width() / 2.0f;
    for (const auto& [text, baseline] : {std::pair<const char*, float>{"NIGHT", 300.0f}, {"HARBOR", 258.0f}}) {
        const TextPlacement at = Centred(text, centre, baseline, 30.0f, 0.3f);
        PaintText(canvas, text, at, TitleStyle(at));
    }
    const TextPlacement accent = Centred("3D", centre, 214.0f, 30.0f, 0.3f);
    PaintText(canvas, "3D", accent, AccentStyle(accent));
    const TextPlacement studio = Centred("VORNHALT STUDIO", centre, 16.0f, 8.5f, 0.45f);
    PaintText(canvas, "VORNHALT STUDIO", studio, CaptionStyle(studio));
    return canvas;
}

namespace {

// A round badge with a small lighthouse sending out its beams.
void PaintEmblem(Canvas& canvas, Point centre, float radius) {
    for (int y = int(centre.y - radius); y <= int(centre.y + radius); ++y)
        for (int x = int(centre.x - radius); x <= int(centre.x + radius); ++x) {
            const float d = std::hypot(x + 0.5f - centre.x, y + 0.5f - centre.y);
            const float t = Clamp01((y + 0.5f - (centre.y - radius)) / (2 * radius));
            canvas.Blend(x, y, Mix(Rgb(0x0B1838), Rgb(0x1E3870), t), Clamp01(radius - d + 0.5f));
        }
    const float s = radius / 30.0f;
    const float base = centre.y - 20 * s, top = centre.y + 8 * s;
    // Beams first, so that the tower stands in front of them.
    const Point lamp{centre.x, top + 4 * s};
    for (int y = int(centre.y - radius); y <= int(centre.y + radius); ++y)
        for (int x = int(centre.x - radius); x <= int(centre.x + radius); ++x) {
            const float dx = x + 0.5f - lamp.x, dy = y + 0.5f - lamp.y;
            const float inside = Clamp01(radius - 2.0f - std::hypot(x + 0.5f - centre.x, y + 0.5f - centre.y));
            const float angle = std::fabs(std::atan2(dy, std::fabs(dx)) * 180.0f / kPi - 8.0f) / 9.0f;
            canvas.AddLight(x, y, Rgb(0xFFE2A0), inside * 0.55f * std::exp(-angle * angle) * SmoothStep(0, 6 * s, std::fabs(dx)));
        }
    FillPolygonShaded(canvas, {{centre.x - 5 * s, base}, {centre.x + 5 * s, base}, {centre.x + 3.2f * s, top}, {centre.x - 3.2f * s, top}},
                      [&](float x, float y) {
                          const bool band = std::fmod(y - base, 8 * s) < 3 * s;
                          return band ? Rgb(0x8E3446) : Mix(Rgb(0x9AA6C2), Rgb(0xE8EEF8), Clamp01((x - centre.x + 5 * s) / (10 * s)));
                      });
    FillPolygon(canvas, {{centre.x - 4 * s, top}, {centre.x + 4 * s, top}, {centre.x, top + 10 * s}}, Rgb(0x111829));
    AddGlow(canvas, lamp, 4 * s, Rgb(0xFFE0A0), 0.9f);
    // Waves at the foot of the tower.
    std::vector<Polyline> waves;
    for (int row = 0; row < 2; ++row) {
        Polyline wave;
        const float y = base - (3 + 5 * row) * s;
        for (float x = -radius + 4; x <= radius - 4; x += 1.0f)
            wave.push_back({centre.x + x, y + 1.3f * s * std::sin(x / (3.0f * s))});
        waves.push_back(wave);
    }
    StrokeStyle waveStyle;
    waveStyle.halfWidth = 0.8f * s;
    waveStyle.fillFrom = waveStyle.fillTo = Rgb(0x8FB6FF, 0.8f);
    waveStyle.opacity = [=](float x, float y) { return Clamp01(radius - 3.0f - std::hypot(x - centre.x, y - centre.y)); };
    PaintLines(canvas, waves, waveStyle);
    PaintLines(canvas, {Arc(centre, radius - 1.5f, radius - 1.5f, 0, 360)},
               GoldStyle(1.3f * s, {centre.x, centre.y + radius}, {centre.x, centre.y - radius}));
}

}  // namespace

Canvas PaintLogo() {
    Canvas canvas(360, 72);
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            const float t = (x + 0.5f) / canvas.Width(), v = (y + 0.5f) / canvas.Height();
            const Color colour = Mix(Mix(Rgb(0x0D1A3C), Rgb(0x060C1E), t), Rgb(0x030712), 0.4f * (1.0f - v));
            canvas.Set(x, y, colour);
        }
    Random random(5);
    for (int i = 0; i < 70; ++i) {
        const Point at{random.Range(80, 360), random.Range(4, 68)};
        AddGlow(canvas, at, random.Range(0.4f, 0.8f), Rgb(0xDCE6FF), random.Range(0.2f, 0.9f));
    }
    AddGlow(canvas, {38, 36}, 40, Rgb(0x2F5AB0), 0.25f);
    PaintEmblem(canvas, {38.0f, 36.0f}, 29.0f);
    PaintProductName(canvas, 216.0f, 34.0f, 19.0f);
    const TextPlacement studio = Centred("VORNHALT STUDIO", 216.0f, 13.0f, 8.0f, 0.7f);
    PaintText(canvas, "VORNHALT STUDIO", studio, CaptionStyle(studio));
    PaintLines(canvas, {{{0, 1.5f}, {360, 1.5f}}}, GoldStyle(0.6f, {0, 0}, {360, 0}));
    return canvas;
}

}  // namespace mediagen
