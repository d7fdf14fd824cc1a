#pragma once

#include <cstdint>
#include <string>

namespace zav {

enum ScreensaverMode : int32_t {
    kModePreview = 0,
    kModeScreensaver = 1,
    kModeTest = 2,
    kModeConfigure = 3,
    kModePassword = 4,
};

struct ModeSelection {
    int32_t mode = kModeConfigure;
    bool hasParent = false;
    uint32_t parentWindow = 0;  // window handle as a 32-bit value, when hasParent
};

// Reads the screensaver mode and the parent window number from a full
// command line, program name included. Never fails.
ModeSelection SelectMode(const std::string& commandLine);

}  // namespace zav
