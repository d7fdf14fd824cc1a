// Parts of the run that this build does not have yet: visual data, the
// settings dialog, sound, drawing the scene and uploading its textures. Each
// reports that it is missing and fails, so Create and Run stop with a clear
// log line.
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
int SceneScreensaver::CacheData() { return Missing("Кеширование"); }

// Needs the sound node's volume, playing flag and stream.
void SceneScreensaver::SilenceSoundNode(Object* soundNode, bool) {
    LogWarning("Звуковой узел [%s]: управление звуком недоступно в этой сборке.", soundNode->GetName().CStr());
}

}  // namespace zav
