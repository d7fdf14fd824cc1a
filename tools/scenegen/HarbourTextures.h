#pragma once

#include "tools/mediagen/Canvas.h"

namespace zav::scenegen {

// The harbour's textures, painted from tiling noise so that they repeat
// without seams. Sides are powers of two; the same pixels on every run.
mediagen::Canvas PaintStone(int side);    // quay blocks: grey courses with mortar joints
mediagen::Canvas PaintWood(int side);     // planks along u, with grain and seams
mediagen::Canvas PaintPlaster(int side);  // whitewashed tower walls
mediagen::Canvas PaintWater(int side);    // dark ripples
mediagen::Canvas PaintGlow(int side);     // a lamp's round glow, white in the middle, transparent at the rim

}  // namespace zav::scenegen
