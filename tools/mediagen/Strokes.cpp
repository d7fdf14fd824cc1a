#include "tools/mediagen/Strokes.h"

#include <algorithm>
#include <cmath>

namespace mediagen {

namespace {

// Arcs are drawn with this many segments per full turn.
constexpr float kSegmentsPerTurn = 96.0f;

float SegmentDistance(float px, float py, Point a, Point b) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length2 = dx * dx + dy * dy;
    float t = length2 > 0.0f ? ((px - a.x) * dx + (py - a.y) * dy) / length2 : 0.0f;
    t = Clamp01(t);
    return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

}  // namespace

StrokeField::StrokeField(const Canvas& canvas, float reach)
    : width_(canvas.Width()), height_(canvas.Height()), reach_(reach),
      distances_(size_t(width_) * size_t(height_), reach + 1.0f) {}

void StrokeField::Add(const Polyline& line) {
    if (line.size() == 1) AddSegment(line[0], line[0]);
    for (size_t i = 1; i < line.size(); ++i) AddSegment(line[i - 1], line[i]);
}

void StrokeField::AddSegment(Point a, Point b) {
    const int x0 = std::max(0, int(std::floor(std::min(a.x, b.x) - reach_)));
    const int x1 = std::min(width_, int(std::ceil(std::max(a.x, b.x) + reach_)));
    const int y0 = std::max(0, int(std::floor(std::min(a.y, b.y) - reach_)));
    const int y1 = std::min(height_, int(std::ceil(std::max(a.y, b.y) + reach_)));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            float& d = distances_[size_t(y) * size_t(width_) + size_t(x)];
            d = std::min(d, SegmentDistance(x + 0.5f, y + 0.5f, a, b));
        }
}

void PaintStrokes(Canvas& canvas, const StrokeField& field, const StrokeStyle& style) {
    const float dx = style.to.x - style.from.x, dy = style.to.y - style.from.y;
    const float length2 = std::max(dx * dx + dy * dy, 1e-6f);
    const float reach = style.Reach();
    for (int y = 0; y < field.Height(); ++y)
        for (int x = 0; x < field.Width(); ++x) {
            const float d = field.Distance(x, y);
            if (d >= reach) continue;
            const float px = x + 0.5f, py = y + 0.5f;
            const float opacity = style.opacity ? Clamp01(style.opacity(px, py)) : 1.0f;
            if (opacity <= 0.0f) continue;
            const float edge = style.halfWidth + style.outline;
            if (style.glow > 0.0f) {
                const float g = 1.0f - SmoothStep(0.0f, style.glow, d - edge);
                canvas.Blend(x, y, style.glowColour, g * g * opacity);
            }
            if (style.outline > 0.0f) canvas.Blend(x, y, style.outlineColour, Clamp01(edge - d + 0.5f) * opacity);
            const float t = Clamp01(((px - style.from.x) * dx + (py - style.from.y) * dy) / length2);
            canvas.Blend(x, y, Mix(style.fillFrom, style.fillTo, t), Clamp01(style.halfWidth - d + 0.5f) * opacity);
        }
}

Polyline Arc(Point centre, float radiusX, float radiusY, float fromDegrees, float toDegrees) {
    const float sweep = toDegrees - fromDegrees;
    const int steps = std::max(2, int(std::ceil(std::fabs(sweep) / 360.0f * kSegmentsPerTurn)));
    Polyline points;
    for (int i = 0; i <= steps; ++i) {
        const float angle = (fromDegrees + sweep * float(i) / float(steps)) * kPi / 180.0f;
        points.push_back({centre.x + radiusX * std::cos(angle), centre.y + radiusY * std::sin(angle)});
    }
    return points;
}

void Extend(Polyline& line, const Polyline& more) {
    for (size_t i = 0; i < more.size(); ++i) {
        if (i == 0 && !line.empty() && std::fabs(line.back().x - more[0].x) < 1e-4f &&
            std::fabs(line.back().y - more[0].y) < 1e-4f)
            continue;
        line.push_back(more[i]);
    }
}

}  // namespace mediagen
