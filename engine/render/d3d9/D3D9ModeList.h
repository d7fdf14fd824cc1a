#pragma once

#include <d3d9.h>

#include <cstdint>
#include <vector>

#include "engine/render/DisplayMode.h"

namespace zav::d3d9 {

// Lists every usable combination of display mode, back-buffer format, depth
// format and multisample type of adapter 0 (hardware device), full-screen
// records with their size, windowed ones without. `defaultMode` becomes the
// first full-screen record of the desktop's size and format, or -1.
void ListDeviceModes(IDirect3D9* d3d, std::vector<DisplayMode>* modes, int32_t* defaultMode);

}  // namespace zav::d3d9
