#include <cmath>

#include "tools/mediagen/HarbourPainting.h"
#include "tools/mediagen/Lettering.h"
#include "tools/mediagen/Pictures.h"

namespace mediagen {

namespace {

// A thin rule with a diamond in its middle, fading toward both ends.
void PaintRule(Canvas& canvas, float centreX, float y, float halfLength, float scale) {
    const float d = 5.0f * scale;
    const std::vector<Polyline> lines = {
        {{centreX - halfLength, y}, {centreX - 2.2f * d, y}},
        {{centreX + 2.2f * d, y}, {centreX + halfLength, y}},
        {{centreX - d, y}, {centreX, y + d}, {centreX + d, y}, {centreX, y - d}, {centreX - d, y}},
    };
    StrokeStyle style = GoldStyle(0.9f * scale, {centreX, y}, {centreX + halfLength, y});
    style.opacity = [=](float x, float) { return 1.0f - SmoothStep(0.3f * halfLength, halfLength, std::fabs(x - centreX)); };
    PaintLines(canvas, lines, style);
}

}  // namespace

Canvas PaintLoadingScreen() {
    Canvas canvas(1024, 768);
    PaintHarbour(canvas, HarbourLayout());
    PaintVignette(canvas, 0.5f);
    const float centre = canvas.Width() / 2.0f;
    const float titleBaseline = 0.695f * canvas.Height(), titleCap = 60.0f;
    PaintProductName(canvas, centre, titleBaseline, titleCap);
    PaintRule(canvas, centre, titleBaseline - 0.42f * titleCap, 300.0f, 1.0f);
    const char* studio = "VORNHALT STUDIO";
    const TextPlacement studioAt = Centred(studio, centre, titleBaseline + titleCap + 26.0f, 15.0f, 0.62f);
    PaintText(canvas, studio, studioAt, CaptionStyle(studioAt));
    const char* loading = "LOADING...";
    const TextPlacement loadingAt = Centred(loading, centre, 40.0f, 14.0f, 0.6f);
    PaintText(canvas, loading, loadingAt, CaptionStyle(loadingAt));
    return canvas;
}

Canvas PaintLoadingCorner() {
    Canvas canvas(128, 128);
    const Point corner{0.0f, 0.0f}, far{128.0f, 128.0f};
    auto fadeAlongArms = [](float from, float to) {
        return [=](float x, float y) { return 1.0f - SmoothStep(from, to, std::max(x, y)); };
    };

    Polyline outer = {{9, 124}, {9, 24}};
    Extend(outer, Arc({24, 24}, 15, 15, 180, 270));
    Extend(outer, {{124, 9}});
    StrokeStyle outerStyle = GoldStyle(1.7f, corner, far);
    outerStyle.opacity = fadeAlongArms(64.0f, 126.0f);
    PaintLines(canvas, {outer}, outerStyle);

    Polyline inner = {{19, 90}, {19, 33}};
    Extend(inner, Arc({33, 33}, 14, 14, 180, 270));
    Extend(inner, {{90, 19}});
    StrokeStyle innerStyle = GoldStyle(0.9f, corner, far);
    innerStyle.opacity = fadeAlongArms(50.0f, 94.0f);
    PaintLines(canvas, {inner, {{14, 90}, {24, 90}}, {{90, 14}, {90, 24}}}, innerStyle);

    // A four-pointed star where the arms meet, and a dot on each arm.
    const Point star{39.0f, 39.0f};
    Polyline starLine;
    for (int i = 0; i <= 8; ++i) {
        const float angle = (45.0f + 45.0f * i) * kPi / 180.0f;
        const float radius = i % 2 == 0 ? 3.2f : 11.0f;
        starLine.push_back({star.x + radius * std::cos(angle), star.y + radius * std::sin(angle)});
    }
    PaintLines(canvas, {starLine, {{58, 19}}, {{19, 58}}}, GoldStyle(1.1f, star, far));
    return canvas;
}

}  // namespace mediagen
