#include "tools/mediagen/StrokeFont.h"

#include <cctype>

namespace mediagen {

namespace {

constexpr float kDigitWidth = 0.56f;
constexpr float kSpaceWidth = 0.35f;

Polyline Line(std::initializer_list<Point> points) { return Polyline(points); }

// A stadium: straight sides joined by half ellipses at the top and bottom.
Polyline Stadium(float width, float bottom, float top) {
    const float r = width / 2;
    Polyline line = Arc({r, top - r}, r, r, 0, 180);
    Extend(line, Arc({r, bottom + r}, r, r, 180, 360));
    line.push_back(line.front());
    return line;
}

Polyline Ellipse(Point centre, float rx, float ry) { return Arc(centre, rx, ry, 0, 360); }

Glyph Digit(char c) {
    const float w = kDigitWidth, h = w / 2;
    Glyph g{w, {}};
    switch (c) {
        case '0':
            g.lines = {Stadium(w, 0, 1)};
            break;
        case '1':
            g.lines = {Line({{h - 0.17f, 0.8f}, {h + 0.05f, 1}, {h + 0.05f, 0}})};
            break;
        case '2': {
            Polyline line = Arc({h, 1 - h}, h, h, 160, -38);
            Extend(line, Line({{0, 0}, {w, 0}}));
            g.lines = {line};
            break;
        }
        case '3': {
            Polyline line = Arc({h, 0.765f}, h * 0.92f, 0.235f, 150, -90);
            Extend(line, Arc({h, 0.265f}, h, 0.265f, 90, -150));
            g.lines = {line};
            break;
        }
        case '4':
            g.lines = {Line({{0.74f * w, 0}, {0.74f * w, 1}, {0, 0.3f}, {w, 0.3f}})};
            break;
        case '5': {
            Polyline line = Line({{0.94f * w, 1}, {0.1f * w, 1}, {0.04f * w, 0.55f}});
            Extend(line, Arc({h, 0.31f}, h, 0.31f, 128, -140));
            g.lines = {line};
            break;
        }
        case '6':
        case '9': {
            Polyline line = Arc({h, 0.63f}, h, 0.37f, 50, 180);
            Extend(line, Line({{0, 0.63f}, {0, 0.3f}}));
            g.lines = {line, Ellipse({h, 0.3f}, h, 0.3f)};
            if (c == '9')
                for (Polyline& l : g.lines)
                    for (Point& p : l) p = {w - p.x, 1 - p.y};
            break;
        }
        case '7':
            g.lines = {Line({{0, 1}, {w, 1}, {0.28f * w, 0}})};
            break;
        case '8':
            g.lines = {Ellipse({h, 0.765f}, h * 0.86f, 0.235f), Ellipse({h, 0.265f}, h, 0.265f)};
            break;
    }
    return g;
}

Glyph Letter(char c) {
    switch (c) {
        case 'A': return {0.68f, {Line({{0, 0}, {0.34f, 1}, {0.68f, 0}}), Line({{0.13f, 0.33f}, {0.55f, 0.33f}})}};
        case 'B': {
            Polyline line = Line({{0.27f, 0.53f}, {0, 0.53f}, {0, 1}, {0.3f, 1}});
            Extend(line, Arc({0.3f, 0.765f}, 0.25f, 0.235f, 90, -90));
            Extend(line, Line({{0.3f, 0.53f}, {0.32f, 0.53f}}));
            Extend(line, Arc({0.32f, 0.265f}, 0.28f, 0.265f, 90, -90));
            Extend(line, Line({{0, 0}, {0, 0.53f}}));
            return {0.6f, {line}};
        }
        case 'C': return {0.66f, {Arc({0.36f, 0.5f}, 0.36f, 0.5f, 48, 312)}};
        case 'D': {
            Polyline line = Line({{0, 0}, {0, 1}, {0.25f, 1}});
            Extend(line, Arc({0.25f, 0.5f}, 0.43f, 0.5f, 90, -90));
            Extend(line, Line({{0, 0}}));
            return {0.68f, {line}};
        }
        case 'E':
            return {0.55f, {Line({{0.55f, 1}, {0, 1}, {0, 0}, {0.55f, 0}}), Line({{0, 0.52f}, {0.45f, 0.52f}})}};
        case 'F': return {0.55f, {Line({{0.55f, 1}, {0, 1}, {0, 0}}), Line({{0, 0.52f}, {0.45f, 0.52f}})}};
        case 'G': {
            Polyline line = Arc({0.37f, 0.5f}, 0.37f, 0.5f, 48, 360);
            Extend(line, Line({{0.74f, 0.46f}, {0.42f, 0.46f}}));
            return {0.74f, {line}};
        }
        case 'H': return {0.64f, {Line({{0, 0}, {0, 1}}), Line({{0.64f, 0}, {0.64f, 1}}), Line({{0, 0.52f}, {0.64f, 0.52f}})}};
        case 'I': return {0.0f, {Line({{0, 0}, {0, 1}})}};
        case 'J': {
            Polyline line = Line({{0.5f, 1}, {0.5f, 0.28f}});
            Extend(line, Arc({0.25f, 0.28f}, 0.25f, 0.28f, 0, -180));
            return {0.5f, {line}};
        }
        case 'K': return {0.6f, {Line({{0, 0}, {0, 1}}), Line({{0.6f, 1}, {0, 0.4f}}), Line({{0.2f, 0.6f}, {0.62f, 0}})}};
        case 'L': return {0.5f, {Line({{0, 1}, {0, 0}, {0.5f, 0}})}};
        case 'M': return {0.8f, {Line({{0, 0}, {0, 1}, {0.4f, 0.28f}, {0.8f, 1}, {0.8f, 0}})}};
        case 'N': return {0.66f, {Line({{0, 0}, {0, 1}, {0.66f, 0}, {0.66f, 1}})}};
        case 'O': return {0.78f, {Ellipse({0.39f, 0.5f}, 0.39f, 0.5f)}};
        case 'P': {
            Polyline line = Line({{0, 0}, {0, 1}, {0.32f, 1}});
            Extend(line, Arc({0.32f, 0.74f}, 0.27f, 0.26f, 90, -90));
            Extend(line, Line({{0, 0.48f}}));
            return {0.6f, {line}};
        }
        case 'Q': return {0.78f, {Ellipse({0.39f, 0.5f}, 0.39f, 0.5f), Line({{0.5f, 0.22f}, {0.8f, -0.06f}})}};
        case 'R': {
            Polyline line = Line({{0, 0}, {0, 1}, {0.32f, 1}});
            Extend(line, Arc({0.32f, 0.74f}, 0.27f, 0.26f, 90, -90));
            Extend(line, Line({{0, 0.48f}}));
            return {0.62f, {line, Line({{0.32f, 0.48f}, {0.62f, 0}})}};
        }
        case 'S': {
            Polyline line = Arc({0.3f, 0.755f}, 0.28f, 0.245f, 25, 270);
            Extend(line, Arc({0.3f, 0.255f}, 0.3f, 0.255f, 90, -155));
            return {0.6f, {line}};
        }
        case 'T': return {0.62f, {Line({{0, 1}, {0.62f, 1}}), Line({{0.31f, 1}, {0.31f, 0}})}};
        case 'U': {
            Polyline line = Line({{0, 1}, {0, 0.34f}});
            Extend(line, Arc({0.32f, 0.34f}, 0.32f, 0.34f, 180, 360));
            Extend(line, Line({{0.64f, 1}}));
            return {0.64f, {line}};
        }
        case 'V': return {0.68f, {Line({{0, 1}, {0.34f, 0}, {0.68f, 1}})}};
        case 'W': return {0.96f, {Line({{0, 1}, {0.24f, 0}, {0.48f, 0.72f}, {0.72f, 0}, {0.96f, 1}})}};
        case 'X': return {0.64f, {Line({{0, 0}, {0.64f, 1}}), Line({{0, 1}, {0.64f, 0}})}};
        case 'Y': return {0.64f, {Line({{0, 1}, {0.32f, 0.5f}, {0.64f, 1}}), Line({{0.32f, 0.5f}, {0.32f, 0}})}};
        case 'Z': return {0.6f, {Line({{0, 1}, {0.6f, 1}, {0, 0}, {0.6f, 0}})}};
    }
    return {kSpaceWidth, {}};
}

}  // namespace

Glyph GlyphOf(char c) {
    if (c >= '0' && c <= '9') return Digit(c);
    if (std::isalpha(static_cast<unsigned char>(c))) return Letter(static_cast<char>(std::toupper(c)));
    switch (c) {
        case '.': return {0.0f, {Line({{0, 0}})}};
        case ':': return {0.0f, {Line({{0, 0.14f}}), Line({{0, 0.64f}})}};
        case '-': return {0.4f, {Line({{0, 0.45f}, {0.4f, 0.45f}})}};
    }
    return {kSpaceWidth, {}};
}

float TextAdvance(const char* text, const TextPlacement& placement) {
    float advance = 0.0f;
    for (const char* c = text; *c; ++c) advance += GlyphOf(*c).width + placement.tracking;
    return advance * placement.capHeight * placement.xScale;
}

float TextWidth(const char* text, const TextPlacement& placement) {
    if (!*text) return 0.0f;
    return TextAdvance(text, placement) - placement.tracking * placement.capHeight * placement.xScale;
}

std::vector<Polyline> TextLines(const char* text, const TextPlacement& placement) {
    std::vector<Polyline> lines;
    const float scaleX = placement.capHeight * placement.xScale, scaleY = placement.capHeight;
    float x = 0.0f;
    for (const char* c = text; *c; ++c) {
        const Glyph glyph = GlyphOf(*c);
        for (const Polyline& line : glyph.lines) {
            Polyline placed;
            for (const Point& p : line) placed.push_back({placement.origin.x + (x + p.x) * scaleX, placement.origin.y + p.y * scaleY});
            lines.push_back(placed);
        }
        x += glyph.width + placement.tracking;
    }
    return lines;
}

TextPlacement Centred(const char* text, float centreX, float baseline, float capHeight, float tracking, float xScale) {
    TextPlacement placement{{0.0f, baseline}, capHeight, tracking, xScale};
    placement.origin.x = centreX - TextWidth(text, placement) / 2;
    return placement;
}

}  // namespace mediagen
