#pragma once

// The tool's own lettering: capitals, digits and a few signs drawn as centre
// lines in a box of cap height 1, to be stroked with a StrokeStyle. Lower-case
// letters are drawn as capitals.

#include <vector>

#include "tools/mediagen/Strokes.h"

namespace mediagen {

struct Glyph {
    float width = 0.0f;  // of the centre lines, in cap heights
    std::vector<Polyline> lines;
};

// The glyph of a character; a space or an unknown character has no lines.
Glyph GlyphOf(char c);

// Placement of a line of text: the left end of its baseline, the cap height
// in pixels, the extra space after each glyph (in cap heights) and a
// horizontal squeeze or stretch.
struct TextPlacement {
    Point origin;
    float capHeight = 10.0f;
    float tracking = 0.3f;
    float xScale = 1.0f;
};

// Width of the text's centre lines in pixels.
float TextWidth(const char* text, const TextPlacement& placement);
// Where a character after the text would start, relative to the origin.
float TextAdvance(const char* text, const TextPlacement& placement);
// The centre lines of the text in canvas pixels.
std::vector<Polyline> TextLines(const char* text, const TextPlacement& placement);
// A placement that centres the text on x = `centreX`.
TextPlacement Centred(const char* text, float centreX, float baseline, float capHeight, float tracking,
                      float xScale = 1.0f);

}  // namespace mediagen
