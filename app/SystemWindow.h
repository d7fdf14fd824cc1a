#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>

#include "engine/core/String.h"
#include "engine/input/InputEvent.h"

namespace zav {

// The window a device draws into, as the renderer's OpenWindow and
// CloseWindow ask for it. Full screen: a pop-up window over a display setting
// of exactly that size and depth (the device switches the display); windowed:
// an overlapped window with that client rectangle. The window is stored in
// *window unless it holds one already. 0 success, 1 failure, 3 bad argument.
int CreateSystemWindow(void** window, const String& title, void* parent, bool fullScreen, int32_t bitsPerPixel,
                       int32_t x, int32_t y, int32_t width, int32_t height);
// Destroys the window (one that is gone already is skipped), restores every
// display's registry settings and unregisters the window class.
int CloseSystemWindow(void* window);

// Makes CreateSystemWindow and CloseSystemWindow the renderer's window system.
void InstallSystemWindow();

// The input event a window message stands for; false for other messages.
bool TranslateWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, InputEvent* event);

// Window procedure of the device window: queues input events; closing the
// window only asks the run to end (the window is closed at shutdown).
LRESULT CALLBACK EngineWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zav
