#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace zav {

// Shows the About box (dialog 106 of `instance`), modal, owned by `owner`,
// centred over the settings dialog while that is open. Its texts come from
// the application's UI strings, its logo is "logo.bmp" of the file tree.
// The dialog's result: 1, or 0 / -1 when it could not be shown.
INT_PTR ShowAboutDialog(HINSTANCE instance, HWND owner);

}  // namespace zav
