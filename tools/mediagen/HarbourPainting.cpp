#include "tools/mediagen/HarbourPainting.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/mediagen/Shapes.h"
#include "tools/mediagen/Strokes.h"

namespace mediagen {

namespace {

constexpr Color kMoonLight = Rgb(0xF2EEDC);
constexpr Color kLampLight = Rgb(0xFFD58A);
constexpr Color kWarmLight = Rgb(0xFFB55E);
constexpr Color kSilhouette = Rgb(0x03050C);

// Positions and sizes of the scene in pixels, derived from the layout.
struct Scene {
    float width, height, unit;  // unit: one pixel of a 768-pixel-high picture
    float horizon;
    Point moon;
    float moonRadius;
    float lighthouseX, lighthouseHeight;
    Point lamp;

    Scene(const Canvas& canvas, const HarbourLayout& layout)
        : width(float(canvas.Width())), height(float(canvas.Height())), unit(height / 768.0f),
          horizon(layout.horizon * height), moon{layout.moonX * width, layout.moonY * height},
          moonRadius(layout.moonRadius * height), lighthouseX(layout.lighthouseX * width),
          lighthouseHeight(layout.lighthouseHeight * height) {}

    // Height of the far hills along the horizon.
    float FarHills(float x) const {
        return horizon + height * (0.008f + 0.038f * std::pow(FractalNoise(x / width * 2.6f, 7.3f, 11, 4), 1.6f));
    }
    // Height of the headland that carries the lighthouse (the horizon where
    // there is none).
    float Headland(float x) const {
        const float across = (x - lighthouseX) / (0.2f * width);
        const float plateau = std::exp(-across * across * across * across);
        return horizon + height * (0.082f * plateau + 0.006f * plateau * FractalNoise(x / width * 9.0f, 2.1f, 12, 3));
    }
    // Horizontal wave streaks on the water; larger toward the viewer.
    float Waves(float x, float y, uint32_t seed, float fineness) const {
        const float near = 0.1f + (horizon - y) / horizon;
        return FractalNoise(x / (width * 0.05f * near) * fineness, (horizon - y) / (height * 0.005f * near) * fineness,
                            seed, 3);
    }
};

Color SkyGradient(float t) {
    const Color horizon = Rgb(0x2C3C68), low = Rgb(0x17244C), high = Rgb(0x0A1330), zenith = Rgb(0x03061A);
    if (t < 0.25f) return Mix(horizon, low, t / 0.25f);
    if (t < 0.6f) return Mix(low, high, (t - 0.25f) / 0.35f);
    return Mix(high, zenith, (t - 0.6f) / 0.4f);
}

float CloudDensity(const Scene& scene, float x, float y) {
    const float t = (y - scene.horizon) / (scene.height - scene.horizon);
    const float band = SmoothStep(0.08f, 0.3f, t) * (1.0f - SmoothStep(0.7f, 1.0f, t));
    const float n = FractalNoise(x / scene.width * 2.4f, y / scene.height * 10.0f, 21, 5);
    return SmoothStep(0.5f, 0.78f, n) * band;
}

Color SkyAt(const Scene& scene, float x, float y) {
    const float t = Clamp01((y - scene.horizon) / (scene.height - scene.horizon));
    Color sky = SkyGradient(t);
    const Color warm = Rgb(0x5E405E);
    const float warmth = 0.5f * std::exp(-t * 9.0f);
    sky = {sky.r + warm.r * warmth, sky.g + warm.g * warmth, sky.b + warm.b * warmth, 1.0f};
    const float d = std::hypot(x - scene.moon.x, y - scene.moon.y);
    const float halo = 0.3f * std::exp(-std::max(0.0f, d - scene.moonRadius) / (1.8f * scene.moonRadius)) +
                       0.16f * std::exp(-d / (7.0f * scene.moonRadius));
    const Color haloColour = Rgb(0x9AB0DE);
    sky = {sky.r + haloColour.r * halo, sky.g + haloColour.g * halo, sky.b + haloColour.b * halo, 1.0f};
    const float cloud = CloudDensity(scene, x, y);
    if (cloud > 0.0f) {
        const float lit = std::exp(-d / (6.0f * scene.moonRadius));
        sky = Mix(sky, Mix(Rgb(0x0E1632), Rgb(0x6A7AA6), lit), cloud * 0.7f);
    }
    return sky;
}

void PaintSky(Canvas& canvas, const Scene& scene) {
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) canvas.Set(x, y, SkyAt(scene, x + 0.5f, y + 0.5f));
}

void PaintStars(Canvas& canvas, const Scene& scene, float density) {
    Random random(7);
    const int count = int(scene.width * (scene.height - scene.horizon) / 1500.0f * density);
    for (int i = 0; i < count; ++i) {
        const Point at{random.Range(0, scene.width), random.Range(scene.horizon, scene.height)};
        const float magnitude = random.Unit();
        const float tint = random.Unit();
        const float t = (at.y - scene.horizon) / (scene.height - scene.horizon);
        const float nearMoon = SmoothStep(scene.moonRadius * 1.5f, scene.moonRadius * 6.0f,
                                          std::hypot(at.x - scene.moon.x, at.y - scene.moon.y));
        const float brightness = (0.25f + 0.75f * magnitude * magnitude * magnitude) * SmoothStep(0.04f, 0.35f, t) *
                                 nearMoon * (1.0f - 0.9f * CloudDensity(scene, at.x, at.y));
        if (brightness <= 0.02f) continue;
        const Color colour = tint < 0.7f ? Rgb(0xDCE6FF) : tint < 0.9f ? Rgb(0xFFF1D8) : Rgb(0xBFD4FF);
        const float radius = (0.45f + 0.55f * magnitude) * std::max(scene.unit, 0.6f);
        AddGlow(canvas, at, radius, colour, brightness * 1.6f);
        if (magnitude > 0.93f) {  // the brightest twinkle
            for (int k = -4; k <= 4; ++k) {
                const float fall = brightness * 0.35f * (1.0f - std::fabs(float(k)) / 5.0f);
                canvas.AddLight(int(at.x) + k, int(at.y), colour, fall);
                canvas.AddLight(int(at.x), int(at.y) + k, colour, fall);
            }
        }
    }
}

void PaintMoon(Canvas& canvas, const Scene& scene) {
    const float r = scene.moonRadius;
    for (int y = int(scene.moon.y - r - 2); y <= int(scene.moon.y + r + 2); ++y)
        for (int x = int(scene.moon.x - r - 2); x <= int(scene.moon.x + r + 2); ++x) {
            const float dx = x + 0.5f - scene.moon.x, dy = y + 0.5f - scene.moon.y;
            const float d = std::hypot(dx, dy);
            const float coverage = Clamp01(r - d + 0.5f);
            if (coverage <= 0.0f) continue;
            const float limb = std::sqrt(Clamp01(1.0f - (d * d) / (r * r)));
            const float maria = SmoothStep(0.45f, 0.72f, FractalNoise(dx / r * 1.6f + 3.0f, dy / r * 1.6f + 5.0f, 31, 4));
            const float shade = (0.82f + 0.18f * limb) * (1.0f - 0.16f * maria);
            canvas.Blend(x, y, Scaled(kMoonLight, shade), coverage);
        }
    AddGlow(canvas, scene.moon, r * 1.3f, Rgb(0xCFD8F0), 0.18f);
}

// Fills everything below `ridge(x)` with `shade(x, y, depth below ridge)`,
// four samples across each pixel for the slopes.
template <class Ridge, class Shade>
void PaintRidge(Canvas& canvas, const Scene& scene, Ridge ridge, Shade shade) {
    std::vector<float> heights(size_t(canvas.Width()) * 4);
    float top = 0.0f;
    for (size_t i = 0; i < heights.size(); ++i) {
        heights[i] = ridge((float(i) + 0.5f) / 4.0f);
        top = std::max(top, heights[i]);
    }
    for (int x = 0; x < canvas.Width(); ++x)
        for (int y = int(scene.horizon) - 1; y < std::min(canvas.Height(), int(top) + 2); ++y) {
            float coverage = 0.0f;
            for (int s = 0; s < 4; ++s) coverage += Clamp01(heights[size_t(x) * 4 + size_t(s)] - float(y)) / 4.0f;
            if (coverage > 0.0f) canvas.Blend(x, y, shade(x + 0.5f, y + 0.5f, heights[size_t(x) * 4 + 2] - y), coverage);
        }
}

struct TownLight {
    Point at;
    Color colour;
    float strength;
};

std::vector<TownLight> PlaceTownLights(const Scene& scene) {
    Random random(3);
    std::vector<TownLight> lights;
    const int count = int(90 * scene.width / 1024.0f) + 6;
    for (int i = 0; i < count; ++i) {
        // Clustered: a few settlements along the far shore.
        const float cluster = float(int(random.Unit() * 4.0f));
        const float x = scene.width * (0.36f + 0.16f * cluster + random.Range(-0.06f, 0.06f));
        if (x < 0 || x >= scene.width) continue;
        const float room = scene.FarHills(x) - scene.horizon;
        const float y = scene.horizon + 1.5f * scene.unit + random.Unit() * random.Unit() * room * 0.8f;
        const Color colour = random.Unit() < 0.75f ? kWarmLight : Rgb(0xFFF0D0);
        lights.push_back({{x, y}, colour, random.Range(0.35f, 1.0f)});
    }
    return lights;
}

void PaintTownLights(Canvas& canvas, const Scene& scene, const std::vector<TownLight>& lights) {
    for (const TownLight& light : lights) {
        AddGlow(canvas, light.at, 2.8f * scene.unit + 0.6f, light.colour, 0.22f * light.strength);
        AddGlow(canvas, light.at, 0.7f * scene.unit + 0.35f, light.colour, 1.4f * light.strength);
    }
}

void PaintLighthouse(Canvas& canvas, Scene& scene) {
    const float h = scene.lighthouseHeight, cx = scene.lighthouseX;
    const float base = scene.Headland(cx) - 0.03f * h;
    const float top = base + 0.78f * h;
    const float bottomHalf = 0.1f * h, topHalf = 0.065f * h;
    auto tower = [&](float from, float to) {
        const float a = (from - base) / (top - base), b = (to - base) / (top - base);
        const float halfA = Lerp(bottomHalf, topHalf, a), halfB = Lerp(bottomHalf, topHalf, b);
        return std::vector<Point>{{cx - halfA, from}, {cx + halfA, from}, {cx + halfB, to}, {cx - halfB, to}};
    };
    // Moonlight from the right: the right side is lit.
    auto shaded = [&](Color dark, Color lit) {
        return [=](float x, float) {
            const float across = Clamp01((x - (cx - bottomHalf)) / (2.0f * bottomHalf));
            return Mix(dark, lit, std::pow(across, 0.8f));
        };
    };
    FillPolygonShaded(canvas, tower(base, top), shaded(Rgb(0x2E364C), Rgb(0x8C98B4)));
    for (float band : {0.22f, 0.55f})
        FillPolygonShaded(canvas, tower(base + band * (top - base), base + (band + 0.13f) * (top - base)),
                          shaded(Rgb(0x2A111A), Rgb(0x7A3040)));
    const float gallery = top + 0.03f * h, lantern = gallery + 0.1f * h, roof = lantern + 0.07f * h;
    FillPolygon(canvas, {{cx - 0.09f * h, top}, {cx + 0.09f * h, top}, {cx + 0.09f * h, gallery}, {cx - 0.09f * h, gallery}},
                Rgb(0x161C2C));
    FillPolygon(canvas, {{cx - 0.045f * h, gallery}, {cx + 0.045f * h, gallery}, {cx + 0.045f * h, lantern},
                         {cx - 0.045f * h, lantern}},
                Rgb(0xFFF1C4));
    FillPolygon(canvas, {{cx - 0.065f * h, lantern}, {cx + 0.065f * h, lantern}, {cx, roof}}, Rgb(0x121826));
    scene.lamp = {cx, (gallery + lantern) / 2};
}

// The lamp's two beams sweeping over the sea and its glow.
void PaintBeams(Canvas& canvas, const Scene& scene) {
    const struct {
        float angle, spread, length, strength;
    } beams[] = {{5.5f, 3.2f, 0.95f, 0.2f}, {177.0f, 2.6f, 0.32f, 0.09f}};
    const Color beamColour = Rgb(0xFFF0C8);
    for (int y = int(scene.horizon * 0.8f); y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            const float dx = x + 0.5f - scene.lamp.x, dy = y + 0.5f - scene.lamp.y;
            const float distance = std::hypot(dx, dy);
            const float angle = std::atan2(dy, dx) * 180.0f / kPi;
            for (const auto& beam : beams) {
                float off = std::fabs(angle - beam.angle);
                off = std::min(off, 360.0f - off);
                const float across = off / beam.spread;
                const float along = 1.0f - SmoothStep(0.0f, beam.length * scene.width, distance);
                const float light = std::exp(-across * across) * along * along * beam.strength;
                if (light > 0.002f) canvas.AddLight(x, y, beamColour, light);
            }
        }
    AddGlow(canvas, scene.lamp, 0.05f * scene.height, kLampLight, 0.4f);
    AddGlow(canvas, scene.lamp, 0.006f * scene.height, Rgb(0xFFF6DE), 1.2f);
}

void PaintWater(Canvas& canvas, const Scene& scene, const std::vector<TownLight>& lights) {
    const float mirrorShift = 3.0f * scene.unit;
    for (int y = 0; y < int(scene.horizon); ++y) {
        const float fy = y + 0.5f;
        const float depth = (scene.horizon - fy) / scene.horizon;  // 0 at the horizon, 1 at the bottom
        for (int x = 0; x < canvas.Width(); ++x) {
            const float fx = x + 0.5f;
            const float waves = scene.Waves(fx, fy, 41, 1.0f);
            Color water = Mix(Rgb(0x1A2850), Rgb(0x02050E), std::pow(depth, 0.6f));
            const float warm = 0.3f * std::exp(-depth * 12.0f);
            water = {water.r + 0.23f * warm, water.g + 0.18f * warm, water.b + 0.26f * warm, 1.0f};
            water = Scaled(water, 0.82f + 0.36f * waves);
            // The land mirrored in the water, broken by the waves.
            const float mirrored = scene.horizon + (scene.horizon - fy) * 0.9f;
            const float sx = fx + (waves - 0.5f) * mirrorShift;
            if (mirrored < scene.Headland(sx)) water = Scaled(water, 0.45f);
            else if (mirrored < scene.FarHills(sx)) water = Scaled(water, 0.7f);
            canvas.Set(x, y, water);

            // Moon and lamp glitter: columns of broken light.
            const float glitter = SmoothStep(0.56f, 0.86f, scene.Waves(fx, fy, 43, 2.3f));
            const float moonWidth = scene.moonRadius * (0.9f + 5.0f * depth);
            const float moonAcross = (fx - scene.moon.x) / moonWidth;
            const float moonColumn = std::exp(-moonAcross * moonAcross);
            canvas.AddLight(x, y, kMoonLight, moonColumn * (0.1f + 0.9f * glitter) * (0.85f - 0.45f * depth));
            const float lampWidth = scene.lighthouseHeight * (0.08f + 0.6f * depth);
            const float lampAcross = (fx - scene.lamp.x) / lampWidth;
            const float lampColumn = std::exp(-lampAcross * lampAcross) * std::exp(-depth * 2.5f);
            canvas.AddLight(x, y, kLampLight, lampColumn * (0.06f + 0.6f * glitter));
        }
    }
    // Town lights: short wavering streaks.
    for (const TownLight& light : lights) {
        const float length = (12.0f + 40.0f * light.strength) * scene.unit;
        for (int y = int(scene.horizon) - 1; y > int(scene.horizon - length) && y >= 0; --y) {
            const float along = (scene.horizon - y) / length;
            const float x = light.at.x + std::sin(y * 0.9f + light.at.x) * 0.9f * scene.unit;
            const float glitter = SmoothStep(0.45f, 0.8f, scene.Waves(x, y + 0.5f, 43, 2.3f));
            const float amount = light.strength * (1.0f - along) * glitter * 0.55f;
            const float fraction = x - std::floor(x);
            canvas.AddLight(int(std::floor(x)), y, light.colour, amount * (1.0f - fraction));
            canvas.AddLight(int(std::floor(x)) + 1, y, light.colour, amount * fraction);
        }
    }
}

// A strip of lines (masts, rails) drawn as thin dark strokes.
void PaintRigging(Canvas& canvas, const std::vector<Polyline>& lines, float halfWidth) {
    StrokeStyle style;
    style.halfWidth = halfWidth;
    style.fillFrom = style.fillTo = kSilhouette;
    StrokeField field(canvas, style.Reach());
    field.Add(lines);
    PaintStrokes(canvas, field, style);
}

void PaintPier(Canvas& canvas, const Scene& scene, float from) {
    const float x0 = from * scene.width, x1 = scene.width + 2.0f;
    const float deckLeft = 0.15f * scene.height, deckRight = 0.2f * scene.height;
    const float thickness = 0.017f * scene.height;
    auto deckAt = [&](float x) { return Lerp(deckLeft, deckRight, (x - x0) / (x1 - x0)); };
    // Posts into the water, and their reflections.
    std::vector<Polyline> rails;
    const float spacing = 0.05f * scene.width, postHalf = 0.0045f * scene.width;
    for (float x = x0 + 0.01f * scene.width; x < x1; x += spacing) {
        const float deck = deckAt(x) - thickness;
        const float foot = deck - 0.09f * scene.height;
        FillPolygon(canvas, {{x - postHalf, foot}, {x + postHalf, foot}, {x + postHalf, deck}, {x - postHalf, deck}},
                    kSilhouette);
        FillPolygon(canvas, {{x - postHalf, foot - 0.05f * scene.height}, {x + postHalf, foot - 0.05f * scene.height},
                             {x + postHalf * 1.4f, foot}, {x - postHalf * 1.4f, foot}},
                    Rgb(0x03050C, 0.45f));
        rails.push_back({{x, deckAt(x)}, {x, deckAt(x) + 0.04f * scene.height}});
    }
    FillPolygon(canvas, {{x0, deckLeft - thickness}, {x1, deckRight - thickness}, {x1, deckRight}, {x0, deckLeft}},
                kSilhouette);
    rails.push_back({{x0, deckLeft + 0.04f * scene.height}, {x1, deckRight + 0.04f * scene.height}});
    rails.push_back({{x0, deckLeft + 0.022f * scene.height}, {x1, deckRight + 0.022f * scene.height}});
    // A lamp post on the pier.
    const float lampX = x0 + 0.11f * scene.width;
    const Point lamp{lampX, deckAt(lampX) + 0.15f * scene.height};
    rails.push_back({{lampX, deckAt(lampX)}, {lampX, lamp.y}, {lampX - 0.012f * scene.width, lamp.y}});
    PaintRigging(canvas, rails, std::max(0.6f, 1.4f * scene.unit));
    const Point bulb{lamp.x - 0.012f * scene.width, lamp.y - 0.006f * scene.height};
    AddGlow(canvas, bulb, 0.035f * scene.height, kWarmLight, 0.35f);
    AddGlow(canvas, bulb, 0.006f * scene.height, Rgb(0xFFF2D0), 1.3f);
    // Its light on the water under the pier.
    for (int y = 0; y < int(deckLeft - thickness - 0.09f * scene.height); ++y)
        for (int x = int(bulb.x - 0.03f * scene.width); x < int(bulb.x + 0.03f * scene.width); ++x) {
            const float across = (x + 0.5f - bulb.x) / (0.012f * scene.width);
            const float glitter = SmoothStep(0.5f, 0.85f, scene.Waves(x + 0.5f, y + 0.5f, 47, 2.0f));
            canvas.AddLight(x, y, kWarmLight, std::exp(-across * across) * glitter * 0.35f * (y / scene.horizon + 0.2f));
        }
}

void PaintBoat(Canvas& canvas, const Scene& scene, float at) {
    const float u = scene.height;
    const float cx = at * scene.width, water = 0.25f * u, half = 0.048f * scene.width;
    const float stern = cx - half, bow = cx + 1.15f * half;
    const float deck = water + 0.02f * u, bowDeck = deck + 0.008f * u;
    // Hull: a curved keel line under a sheer that rises toward the bow.
    std::vector<Point> hull;
    for (int i = 0; i <= 16; ++i) {
        const float t = float(i) / 16.0f;
        hull.push_back({Lerp(stern + 0.04f * half, bow, t), water - 0.008f * u * std::sin(t * kPi) * (1.0f - 0.4f * t)});
    }
    hull.push_back({bow + 0.05f * half, bowDeck});
    hull.push_back({stern, deck});
    FillPolygon(canvas, hull, kSilhouette);
    // Its reflection, dark and softened by the waves.
    std::vector<Point> mirrored;
    for (const Point& p : hull) mirrored.push_back({p.x, 2.0f * water - p.y - 0.004f * u});
    FillPolygon(canvas, mirrored, Rgb(0x02040A, 0.55f));
    const float cabin = deck + 0.016f * u;
    FillPolygon(canvas, {{cx - 0.55f * half, deck}, {cx + 0.25f * half, deck}, {cx + 0.12f * half, cabin},
                         {cx - 0.48f * half, cabin}},
                kSilhouette);
    const float mast = cx - 0.1f * half, mastTop = deck + 0.15f * u, boom = deck + 0.03f * u;
    const float line = std::max(0.5f, 1.0f * scene.unit);
    PaintRigging(canvas,
                 {{{mast, deck}, {mast, mastTop}},
                  {{mast, mastTop}, {bow + 0.05f * half, bowDeck}},
                  {{mast, mastTop}, {stern + 0.05f * half, deck}}},
                 line);
    // The boom with its furled sail.
    PaintRigging(canvas, {{{mast, boom}, {stern + 0.1f * half, boom - 0.004f * u}}}, 2.2f * line);
    // Cabin windows and the anchor light at the masthead.
    for (int i = 0; i < 3; ++i)
        AddGlow(canvas, {cx - 0.4f * half + i * 0.2f * half, (deck + cabin) / 2}, 0.9f * scene.unit + 0.3f,
                kWarmLight, 1.0f);
    AddGlow(canvas, {mast, mastTop}, 0.01f * u, Rgb(0xEAF2FF), 0.45f);
    AddGlow(canvas, {mast, mastTop}, 0.9f * scene.unit + 0.3f, Rgb(0xFFFFFF), 1.5f);
}

}  // namespace

void PaintHarbour(Canvas& canvas, const HarbourLayout& layout) {
    Scene scene(canvas, layout);
    PaintSky(canvas, scene);
    PaintStars(canvas, scene, layout.starDensity);
    PaintMoon(canvas, scene);
    const std::vector<TownLight> lights = PlaceTownLights(scene);
    PaintRidge(canvas, scene, [&](float x) { return scene.FarHills(x); }, [&](float, float, float below) {
        return Mix(Rgb(0x1A2645), Rgb(0x0E1630), SmoothStep(0.0f, 6.0f * scene.unit, below));
    });
    PaintTownLights(canvas, scene, lights);
    PaintRidge(canvas, scene, [&](float x) { return scene.Headland(x); }, [&](float, float, float below) {
        // Moonlight catches the crest.
        return Mix(Rgb(0x2B3A62), Rgb(0x070C1A), SmoothStep(0.0f, 2.5f * scene.unit + 0.5f, below));
    });
    PaintLighthouse(canvas, scene);
    PaintWater(canvas, scene, lights);
    PaintBeams(canvas, scene);
    if (layout.boatX >= 0.0f) PaintBoat(canvas, scene, layout.boatX);
    if (layout.pierFrom < 1.0f) PaintPier(canvas, scene, layout.pierFrom);
}

void PaintVignette(Canvas& canvas, float strength) {
    const float cx = canvas.Width() / 2.0f, cy = canvas.Height() / 2.0f;
    const float reach = std::hypot(cx, cy);
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            const float r = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / reach;
            canvas.Darken(x, y, 1.0f - strength * SmoothStep(0.45f, 1.05f, r));
        }
}

}  // namespace mediagen
