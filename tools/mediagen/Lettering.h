#pragma once

// The looks of the product's lettering and ornaments, shared by the
// pictures: silvery titles, amber accents, quiet captions and gold trim.

#include <vector>

#include "tools/mediagen/StrokeFont.h"

namespace mediagen {

StrokeStyle TitleStyle(const TextPlacement& placement);
StrokeStyle AccentStyle(const TextPlacement& placement);
StrokeStyle CaptionStyle(const TextPlacement& placement);
// Gold lines of half-width `halfWidth`, brightest at `bright`, darker
// toward `dark`.
StrokeStyle GoldStyle(float halfWidth, Point bright, Point dark);

// Strokes `lines` onto the canvas in `style`.
void PaintLines(Canvas& canvas, const std::vector<Polyline>& lines, const StrokeStyle& style);
// Strokes the text at its placement.
void PaintText(Canvas& canvas, const char* text, const TextPlacement& placement, const StrokeStyle& style);

// "NIGHT HARBOR" in the title style followed by "3D" in the accent style,
// centred on `centreX`.
void PaintProductName(Canvas& canvas, float centreX, float baseline, float capHeight);

}  // namespace mediagen
