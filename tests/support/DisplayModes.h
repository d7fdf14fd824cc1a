#pragma once

#include <cstdint>

#include "app/Settings.h"
#include "engine/render/DisplayMode.h"

namespace zav::test {

// A renderer mode record of that size and colour depth.
inline DisplayMode Mode(int32_t width, int32_t height, int32_t bits, bool fullScreen = true) {
    DisplayMode mode;
    mode.width = width;
    mode.height = height;
    mode.colorBits = bits;
    mode.fullScreen = fullScreen;
    return mode;
}

// Settings that ask for that display mode, or for the desktop's.
inline SettingsValues Wanted(int32_t width, int32_t height, int32_t bits, bool useDesktop = false) {
    SettingsValues settings;
    settings.flags[kUseDesktopSettings] = useDesktop;
    settings.numbers[kWidth] = width;
    settings.numbers[kHeight] = height;
    settings.numbers[kColorDepth] = bits;
    return settings;
}

}  // namespace zav::test
