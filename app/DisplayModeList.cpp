#include "app/DisplayModeList.h"

#include <algorithm>
#include <cstdio>

#include "app/DisplayModeChoice.h"

namespace zav {

DisplayModeList ListDialogModes(const std::vector<DisplayMode>& modes, int32_t defaultMode,
                                const SettingsValues& settings) {
    DisplayModeList list;
    const bool desktop = settings.Flag(kUseDesktopSettings);
    for (size_t i = 0; i < modes.size(); ++i) {
        const DisplayMode& mode = modes[i];
        if (!IsListedMode(mode)) continue;
        char text[64];
        std::snprintf(text, sizeof text, "%dx%dx%dbits", mode.width, mode.height, mode.colorBits);
        auto same = std::find_if(list.entries.begin(), list.entries.end(),
                                 [&](const DisplayModeEntry& entry) { return entry.text == text; });
        const auto index = static_cast<int32_t>(same - list.entries.begin());
        if (same == list.entries.end()) list.entries.push_back({text, mode.width, mode.height, mode.colorBits});
        if (list.selected >= 0) continue;
        // The desktop mode may repeat an earlier mode's text: its entry is
        // that earlier one.
        if (desktop ? static_cast<int32_t>(i) == defaultMode
                    : mode.width == settings.Number(kWidth) && mode.height == settings.Number(kHeight) &&
                          mode.colorBits == settings.Number(kColorDepth))
            list.selected = index;
    }
    return list;
}

}  // namespace zav
