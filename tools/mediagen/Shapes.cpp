#include "tools/mediagen/Shapes.h"

#include <algorithm>
#include <cmath>

namespace mediagen {

namespace {

bool Inside(const std::vector<Point>& corners, float x, float y) {
    bool inside = false;
    for (size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
        const Point& a = corners[i];
        const Point& b = corners[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside;
}

}  // namespace

void FillCircle(Canvas& canvas, Point centre, float radius, const Color& colour) {
    const int x0 = std::max(0, int(std::floor(centre.x - radius - 1))), x1 = std::min(canvas.Width(), int(centre.x + radius + 2));
    const int y0 = std::max(0, int(std::floor(centre.y - radius - 1))), y1 = std::min(canvas.Height(), int(centre.y + radius + 2));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float d = std::hypot(x + 0.5f - centre.x, y + 0.5f - centre.y);
            canvas.Blend(x, y, colour, Clamp01(radius - d + 0.5f));
        }
}

PixelBox BoxOf(const Canvas& canvas, const std::vector<Point>& corners, float margin) {
    float minX = corners[0].x, maxX = minX, minY = corners[0].y, maxY = minY;
    for (const Point& p : corners) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    return {std::max(0, int(std::floor(minX - margin))), std::max(0, int(std::floor(minY - margin))),
            std::min(canvas.Width(), int(std::ceil(maxX + margin))), std::min(canvas.Height(), int(std::ceil(maxY + margin)))};
}

float PolygonCoverage(const std::vector<Point>& corners, int x, int y) {
    int hits = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) hits += Inside(corners, x + (sx + 0.5f) / 4.0f, y + (sy + 0.5f) / 4.0f);
    return hits / 16.0f;
}

void FillPolygon(Canvas& canvas, const std::vector<Point>& corners, const Color& colour) {
    FillPolygonShaded(canvas, corners, [&](float, float) { return colour; });
}

void AddGlow(Canvas& canvas, Point centre, float radius, const Color& colour, float strength) {
    const float reach = 3.0f * radius;
    const int x0 = std::max(0, int(centre.x - reach)), x1 = std::min(canvas.Width(), int(centre.x + reach + 1));
    const int y0 = std::max(0, int(centre.y - reach)), y1 = std::min(canvas.Height(), int(centre.y + reach + 1));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float dx = (x + 0.5f - centre.x) / radius, dy = (y + 0.5f - centre.y) / radius;
            canvas.AddLight(x, y, colour, strength * std::exp(-(dx * dx + dy * dy)));
        }
}

}  // namespace mediagen
