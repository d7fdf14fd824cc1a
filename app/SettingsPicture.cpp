// The settings dialog's picture: "settings.bmp" of the file tree in the
// dialog's picture frame.
#include "app/SceneScreensaver.h"
#include "app/res/resource_ids.h"

namespace zav {

int SceneScreensaver::SettingsDialogExtra(HWND window, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return 1;
        case WM_SETFOCUS:
        case WM_PAINT:
        case WM_NOTIFY:
        case WM_NCPAINT:
            settingsPicture_.ShowIn(GetDlgItem(window, IDC_SETTINGS_PICTURE));
            return 0;
        case WM_DESTROY:
            settingsPicture_.Release(GetDlgItem(window, IDC_SETTINGS_PICTURE));
            return 0;
        default:
            return 0;
    }
}

}  // namespace zav
