#pragma once

#include <cstdint>

#include "engine/core/String.h"

namespace zav {

// The window system as the renderer sees it: the application supplies the
// functions that open and close the window a device draws into, so the
// renderer itself needs no window-system headers.
struct SystemWindowFunctions {
    // Opens a window and stores it in *window unless *window is set already.
    // 0 success, 1 failure, 3 bad argument.
    int (*create)(void** window, const String& title, void* parent, bool fullScreen, int32_t bitsPerPixel,
                  int32_t x, int32_t y, int32_t width, int32_t height) = nullptr;
    // Closes the window (null: only restores the display and the class).
    int (*close)(void* window) = nullptr;
};

void SetSystemWindowFunctions(const SystemWindowFunctions& functions);
const SystemWindowFunctions& GetSystemWindowFunctions();

}  // namespace zav
