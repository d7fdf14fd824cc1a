#include <cstring>

#include "tools/mediagen/Lettering.h"
#include "tools/mediagen/Pictures.h"

namespace mediagen {

namespace {

constexpr int kCellWidth = 64, kCellHeight = 128;
constexpr float kDigitCap = 78.0f, kBaseline = 25.0f;
// The cell is shown wider than it is (a 64 × 128 texture in a cell of about
// 2:3 or wider), so the characters are drawn narrower.
constexpr float kSqueeze = 0.72f;
constexpr Color kGlow = Rgb(0x3A9BFF);

}  // namespace

Color ClockMatte() { return WithAlpha(kGlow, 0.0f); }

Canvas PaintClockCharacter(char c) {
    Canvas canvas(kCellWidth, kCellHeight);
    const char text[2] = {c, 0};
    // The am/pm letters are small capitals on the digits' baseline.
    const float cap = std::strchr("apm", c) ? 0.7f * kDigitCap : kDigitCap;
    TextPlacement at = Centred(text, kCellWidth / 2.0f, kBaseline, cap, 0.0f, kSqueeze);
    StrokeStyle style;
    style.halfWidth = 0.072f * kDigitCap;
    style.fillFrom = Rgb(0xFFFFFF);
    style.fillTo = Rgb(0x9CD0FF);
    style.from = {0.0f, kBaseline + kDigitCap};
    style.to = {0.0f, kBaseline};
    style.outline = 1.8f;
    style.outlineColour = Rgb(0x020814, 0.85f);
    style.glow = 8.0f;
    style.glowColour = WithAlpha(kGlow, 0.5f);
    PaintText(canvas, text, at, style);
    return canvas;
}

}  // namespace mediagen
