#pragma once

#include <cstdint>
#include <vector>

#include "app/Settings.h"
#include "engine/render/DisplayMode.h"

namespace zav {

// Whether a mode is one a run may open and the settings dialog lists: a
// full-screen mode larger than 639 x 479.
bool IsListedMode(const DisplayMode& mode);

// The mode a full-screen run opens: the desktop mode (`defaultMode`) when
// UseDesktopSettings is on; otherwise the first full-screen mode larger than
// 639 x 479 whose size and colour depth equal Width, Height and ColorDepth,
// falling back to the desktop mode. -1 when there is none.
int32_t ChooseDisplayMode(const std::vector<DisplayMode>& modes, int32_t defaultMode,
                          const SettingsValues& settings);

}  // namespace zav
