#pragma once

// The night harbour that the loading screen and the dialog pictures show:
// a starry sky with a moon, hills with a lighthouse and town lights, water
// with reflections and, in front, a pier with a lamp and a moored boat.

#include "tools/mediagen/Canvas.h"

namespace mediagen {

// Where things go, in fractions of the canvas (x of the width, y of the
// height, measured from the bottom); sizes in fractions of the height.
struct HarbourLayout {
    float horizon = 0.38f;
    float moonX = 0.86f, moonY = 0.88f, moonRadius = 0.045f;
    float lighthouseX = 0.17f, lighthouseHeight = 0.15f;
    float pierFrom = 0.64f;  // x where the pier starts; 1 or more for none
    float boatX = 0.5f;      // below 0 for none
    float starDensity = 1.0f;
};

void PaintHarbour(Canvas& canvas, const HarbourLayout& layout);

// Darkens toward the corners.
void PaintVignette(Canvas& canvas, float strength);

}  // namespace mediagen
