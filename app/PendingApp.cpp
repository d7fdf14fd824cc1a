// Parts of the run that this build does not have yet: visual data, the
// settings dialog, sound, the scene and the virtual file tree. Each reports
// that it is missing and fails, so Create and Run stop with a clear log line.
#include <string>

#include "app/DataFiles.h"
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

int ReadDataFile(const char* name, std::string* bytes) {
    if (bytes) bytes->clear();
    LogError("Файл [%s] не найден: файловая система недоступна в этой сборке.", name ? name : "");
    return kNotFound;
}

int ScreensaverApp::CreateVisualData() { return Missing("Данные визуализации"); }
int ScreensaverApp::DeleteVisualData() { return DeleteVisualDataExtra(); }
int ScreensaverApp::ShowLoadingScreen() { return Missing("Загрузочный экран"); }

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
