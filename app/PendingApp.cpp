// Parts of the run that this build does not have yet: windows and loops,
// visual data, the settings dialog, sound and the scene. Each reports that it
// is missing and fails, so Create and Run stop with a clear log line. Modes
// that need none of them (configure and password windows) succeed.
#include "app/SceneScreensaver.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"

namespace zav {

namespace {

int Missing(const char* what) {
    LogError("%s: недоступно в этой сборке.", what);
    return kFailed;
}

}  // namespace

int ScreensaverApp::CreateWindows() {
    if (mode_ == kModeConfigure || mode_ == kModePassword) return kOk;
    return Missing("Окна скринсейвера");
}

int ScreensaverApp::DeleteWindows() { return kOk; }

int ScreensaverApp::CreateVisualData() { return Missing("Данные визуализации"); }
int ScreensaverApp::DeleteVisualData() { return DeleteVisualDataExtra(); }
int ScreensaverApp::ShowLoadingScreen() { return Missing("Загрузочный экран"); }
int ScreensaverApp::RunMainLoop() { return Missing("Главный цикл"); }
int ScreensaverApp::RunPreviewLoop() { return Missing("Цикл предпросмотра"); }

INT_PTR ScreensaverApp::ShowSettingsDialog() {
    Missing("Диалог настроек");
    return -1;
}

void ScreensaverApp::SetMasterVolume(int32_t) {}

int SceneScreensaver::SettingsDialogExtra(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? 1 : 0;
}

int SceneScreensaver::Update(double) { return kOk; }
int SceneScreensaver::Render() { return kOk; }
int SceneScreensaver::CreateVisualDataExtra() { return kOk; }
int SceneScreensaver::DeleteVisualDataExtra() { return kOk; }
int SceneScreensaver::CreateData() { return Missing("Сцена"); }
int SceneScreensaver::DeleteData() { return kOk; }
int SceneScreensaver::CacheData() { return Missing("Кеширование"); }

}  // namespace zav
