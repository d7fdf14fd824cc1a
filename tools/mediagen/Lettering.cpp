#include "tools/mediagen/Lettering.h"

namespace mediagen {

namespace {

constexpr const char* kName = "NIGHT HARBOR ";
constexpr const char* kAccent = "3D";
constexpr float kTitleTracking = 0.32f;

// A vertical gradient over the cap height of the placement.
StrokeStyle Lettering(const TextPlacement& placement, float weight, Color top, Color bottom) {
    StrokeStyle style;
    style.halfWidth = weight * placement.capHeight;
    style.fillFrom = top;
    style.fillTo = bottom;
    style.from = {0.0f, placement.origin.y + placement.capHeight};
    style.to = {0.0f, placement.origin.y};
    return style;
}

}  // namespace

// Lettering with a dark outline and a coloured glow around it.
StrokeStyle Glowing(const TextPlacement& placement, float weight, Color top, Color bottom, Color outline, Color glow) {
    StrokeStyle style = Lettering(placement, weight, top, bottom);
    style.outline = 0.035f * placement.capHeight + 0.4f;
    style.outlineColour = outline;
    style.glow = 0.42f * placement.capHeight;
    style.glowColour = glow;
    return style;
}

StrokeStyle TitleStyle(const TextPlacement& placement) {
    return Glowing(placement, 0.072f, Rgb(0xFFFFFF), Rgb(0xA4BEE6), Rgb(0x040916, 0.85f), Rgb(0x4A8CFF, 0.32f));
}

StrokeStyle AccentStyle(const TextPlacement& placement) {
    return Glowing(placement, 0.085f, Rgb(0xFFE6AE), Rgb(0xFF9636), Rgb(0x140802, 0.85f), Rgb(0xFF9A3C, 0.34f));
}

StrokeStyle CaptionStyle(const TextPlacement& placement) {
    StrokeStyle style = Lettering(placement, 0.085f, Rgb(0xE4ECFA), Rgb(0xAFC1E0));
    style.halfWidth += 0.15f;  // small text keeps a visible stroke
    style.outline = 0.5f;
    style.outlineColour = Rgb(0x02050E, 0.55f);
    style.glow = 0.3f * placement.capHeight;
    style.glowColour = Rgb(0x6E9CFF, 0.18f);
    return style;
}

StrokeStyle GoldStyle(float halfWidth, Point bright, Point dark) {
    StrokeStyle style;
    style.halfWidth = halfWidth;
    style.fillFrom = Rgb(0xFFEBB4);
    style.fillTo = Rgb(0xB9822E);
    style.from = bright;
    style.to = dark;
    style.outline = 0.8f;
    style.outlineColour = Rgb(0x160C02, 0.7f);
    style.glow = 4.0f * halfWidth + 2.0f;
    style.glowColour = Rgb(0xFFAE45, 0.3f);
    return style;
}

void PaintLines(Canvas& canvas, const std::vector<Polyline>& lines, const StrokeStyle& style) {
    StrokeField field(canvas, style.Reach());
    field.Add(lines);
    PaintStrokes(canvas, field, style);
}

void PaintText(Canvas& canvas, const char* text, const TextPlacement& placement, const StrokeStyle& style) {
    PaintLines(canvas, TextLines(text, placement), style);
}

void PaintProductName(Canvas& canvas, float centreX, float baseline, float capHeight) {
    TextPlacement name{{0.0f, baseline}, capHeight, kTitleTracking};
    const float nameAdvance = TextAdvance(kName, name);
    const float accentWidth = TextWidth(kAccent, name);
    name.origin.x = centreX - (nameAdvance + accentWidth) / 2;
    PaintText(canvas, kName, name, TitleStyle(name));
    TextPlacement accent = name;
    accent.origin.x += nameAdvance;
    PaintText(canvas, kAccent, accent, AccentStyle(accent));
}

}  // namespace mediagen
