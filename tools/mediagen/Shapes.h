#pragma once

// Anti-aliased filled shapes and glows on a canvas. Coordinates are canvas
// pixels, y up; pixel (x, y) covers [x, x + 1) × [y, y + 1).

#include <vector>

#include "tools/mediagen/Canvas.h"

namespace mediagen {

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

// A disc with a one-pixel soft edge.
void FillCircle(Canvas& canvas, Point centre, float radius, const Color& colour);

// A simple polygon (even-odd rule), its coverage measured with 4 × 4
// samples per pixel.
void FillPolygon(Canvas& canvas, const std::vector<Point>& corners, const Color& colour);

// Adds light that falls off as exp(-(d / radius)^2), out to three radii.
void AddGlow(Canvas& canvas, Point centre, float radius, const Color& colour, float strength);

// Fraction of the pixel (x, y) inside the polygon, from 4 × 4 samples.
float PolygonCoverage(const std::vector<Point>& corners, int x, int y);
// The pixel rectangle that holds the polygon, clipped to the canvas.
struct PixelBox {
    int x0, y0, x1, y1;  // inclusive-exclusive
};
PixelBox BoxOf(const Canvas& canvas, const std::vector<Point>& corners, float margin = 1.0f);

// The same with each pixel coloured by `shade(x, y)` of its centre.
template <class Shade>
void FillPolygonShaded(Canvas& canvas, const std::vector<Point>& corners, Shade shade) {
    const PixelBox box = BoxOf(canvas, corners);
    for (int y = box.y0; y < box.y1; ++y)
        for (int x = box.x0; x < box.x1; ++x) {
            const float coverage = PolygonCoverage(corners, x, y);
            if (coverage > 0.0f) canvas.Blend(x, y, shade(x + 0.5f, y + 0.5f), coverage);
        }
}

}  // namespace mediagen
