#pragma once

#include <vector>

#include "engine/core/RefCounted.h"
#include "engine/render/VolumeImage.h"
#include "tools/mediagen/Canvas.h"

namespace zav::scenegen {

// The harbour's textures, painted from tiling noise so that they repeat
// without seams. Sides are powers of two; the same pixels on every run.
mediagen::Canvas PaintStone(int side);    // quay blocks: grey courses with mortar joints
mediagen::Canvas PaintWood(int side);     // planks along u, with grain and seams
mediagen::Canvas PaintPlaster(int side);  // whitewashed tower walls
mediagen::Canvas PaintWater(int side);    // dark ripples
mediagen::Canvas PaintGlow(int side);     // a lamp's round glow, white in the middle, transparent at the rim
mediagen::Canvas PaintBrick(int side);    // red-brown brick courses
mediagen::Canvas PaintMoon(int side);     // the full moon with its seas, transparent around it
mediagen::Canvas PaintStar(int side);     // a four-pointed glint for the beacon's flare
// The water's ripples at `phase` (0..1) of their cycle; the frames join.
mediagen::Canvas PaintWaterFrame(int side, float phase);

// The night sky's six cube faces (+X, -X, +Y, -Y, +Z, -Z), each painted
// from the directions its texels look along: a dark gradient up from the
// hazy horizon, stars above it, the sea's darkness below.
std::vector<mediagen::Canvas> PaintSkyFaces(int side);
// Six slices of lit window glass, warm to cold, for the volume textures.
std::vector<mediagen::Canvas> PaintGlassSlices(int side);
// The slices as one RGB picture of `canvases.size()` slices.
Ref<VolumeImage> ToVolumeImage(const std::vector<mediagen::Canvas>& canvases);

}  // namespace zav::scenegen
