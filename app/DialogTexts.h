#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>

namespace zav {

class ScreensaverApp;

// A control of a dialog and the UI-string key of its text.
struct ControlTextKey {
    int id;
    const char* key;
};

// Gives the dialog the title of `titleKey` and each control the text of its
// key, where the UI strings have them; other texts stay as the template has
// them. Access keys follow WithAccessKeys; a static control with
// SS_NOPREFIX shows its text as it is.
void SetDialogTexts(HWND dialog, const ScreensaverApp& app, const char* titleKey, const ControlTextKey* controls,
                    size_t count);

}  // namespace zav
