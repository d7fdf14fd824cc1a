#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "engine/render/DisplayMode.h"

namespace zav {

// One entry of the settings dialog's display-mode list: its text and a copy
// of the size and depth it stands for, so that nothing refers back to the
// renderer's own list once the list is built.
struct DisplayModeEntry {
    std::string text;  // "%dx%dx%dbits"
    int32_t width = 0;
    int32_t height = 0;
    int32_t colorBits = 0;
};

struct DisplayModeList {
    std::vector<DisplayModeEntry> entries;
    int32_t selected = -1;  // entry index, -1 for none
};

// The entries of the renderer's full-screen modes larger than 639 x 479, in
// list order, one per text (the first mode of a text stands for it). The
// selected entry is the desktop mode's (`defaultMode`) when
// UseDesktopSettings is on, otherwise the one whose size and depth are Width,
// Height and ColorDepth; none when there is no such entry.
DisplayModeList ListDialogModes(const std::vector<DisplayMode>& modes, int32_t defaultMode,
                                const SettingsValues& settings);

}  // namespace zav
