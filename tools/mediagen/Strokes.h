#pragma once

// Round-capped strokes along polylines, painted from a distance field: each
// pixel learns how far its centre lies from the nearest centre line, which
// gives the stroke, an outline around it and a soft glow, all anti-aliased.

#include <functional>
#include <vector>

#include "tools/mediagen/Canvas.h"
#include "tools/mediagen/Shapes.h"

namespace mediagen {

using Polyline = std::vector<Point>;

// Distances to the centre lines, kept for the pixels of the canvas within
// `reach` of some line.
class StrokeField {
public:
    StrokeField(const Canvas& canvas, float reach);

    // A single point makes a dot.
    void Add(const Polyline& line);
    void Add(const std::vector<Polyline>& lines) {
        for (const Polyline& line : lines) Add(line);
    }
    // Distance from the pixel's centre, or a value beyond the reach.
    float Distance(int x, int y) const { return distances_[size_t(y) * size_t(width_) + size_t(x)]; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    void AddSegment(Point a, Point b);

    int width_;
    int height_;
    float reach_;
    std::vector<float> distances_;
};

// How strokes look. The fill runs as a gradient from `fillFrom` at `from` to
// `fillTo` at `to`; the outline and glow surround it.
struct StrokeStyle {
    float halfWidth = 2.0f;
    Color fillFrom = Rgb(0xFFFFFF);
    Color fillTo = Rgb(0xFFFFFF);
    Point from;
    Point to{0.0f, 1.0f};
    float outline = 0.0f;  // width beyond the stroke
    Color outlineColour = Rgb(0x000000);
    float glow = 0.0f;  // radius of the glow beyond the outline
    Color glowColour = Rgb(0xFFFFFF, 0.0f);
    // Optional opacity of every layer by pixel centre (fading ornaments).
    std::function<float(float x, float y)> opacity;

    float Reach() const { return halfWidth + outline + glow + 1.0f; }
};

void PaintStrokes(Canvas& canvas, const StrokeField& field, const StrokeStyle& style);

// Points along an elliptical arc, angles in degrees counter-clockwise from
// the +x axis; `from` may exceed `to` to run clockwise.
Polyline Arc(Point centre, float radiusX, float radiusY, float fromDegrees, float toDegrees);
// Appends `more` to `line`, skipping a first point that repeats the last.
void Extend(Polyline& line, const Polyline& more);

}  // namespace mediagen
