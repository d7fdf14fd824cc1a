// Parts of the run that this build does not have yet: the overlays and the
// loading screen (they need textures and the built-in effects) and the
// settings dialog. The overlays and the loading screen warn and let the run
// go on, so that frames are cleared and presented without them; the dialog
// reports that it is missing and fails.
#include "app/SceneScreensaver.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"

namespace zav {

namespace {

int Missing(const char* what) {
    LogError("%s: недоступно в этой сборке.", what);
    return kFailed;
}

void Skipped(const char* what) { LogWarning("%s: недоступно в этой сборке, пропущено.", what); }

}  // namespace

int ScreensaverApp::CreateVisualData() {
    Skipped("Экранные надписи");
    return CreateVisualDataExtra();
}

int ScreensaverApp::DeleteVisualData() {
    if (DeleteVisualDataExtra() != kOk) {
        LogError("Невозможно удалить данные визуализации дочернего сейвера.");
        return kFailed;
    }
    return kOk;
}

int ScreensaverApp::ShowLoadingScreen() {
    Skipped("Загрузочный экран");
    return kOk;
}

INT_PTR ScreensaverApp::ShowSettingsDialog() {
    Missing("Диалог настроек");
    return -1;
}

int SceneScreensaver::SettingsDialogExtra(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? 1 : 0;
}

// The fade veil is a colour effect, which comes with the built-in effects.
int SceneScreensaver::CreateVisualDataExtra() { return kOk; }
int SceneScreensaver::DeleteVisualDataExtra() { return kOk; }

}  // namespace zav
