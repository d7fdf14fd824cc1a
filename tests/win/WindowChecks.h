#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <vector>

namespace zav::test {

// True when this program has a window class of that name registered.
inline bool ClassExists(const wchar_t* name) {
    WNDCLASSEXW info = {};
    info.cbSize = sizeof info;
    return GetClassInfoExW(GetModuleHandleW(nullptr), name, &info) != FALSE;
}

// The window's screen rectangle as {left, top, right, bottom}.
inline std::vector<LONG> WindowRectOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace zav::test
