#include "app/DisplayModeChoice.h"

namespace zav {

bool IsListedMode(const DisplayMode& mode) { return mode.fullScreen && mode.width > 639 && mode.height > 479; }

int32_t ChooseDisplayMode(const std::vector<DisplayMode>& modes, int32_t defaultMode,
                          const SettingsValues& settings) {
    if (defaultMode < 0 || static_cast<size_t>(defaultMode) >= modes.size()) defaultMode = -1;
    if (settings.Flag(kUseDesktopSettings)) return defaultMode;
    for (size_t i = 0; i < modes.size(); ++i) {
        const DisplayMode& mode = modes[i];
        if (IsListedMode(mode) && mode.width == settings.Number(kWidth) && mode.height == settings.Number(kHeight) &&
            mode.colorBits == settings.Number(kColorDepth))
            return static_cast<int32_t>(i);
    }
    return defaultMode;
}

}  // namespace zav
